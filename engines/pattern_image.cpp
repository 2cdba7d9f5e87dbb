#include "pattern_image.h"

#include <cmath>
#include <cstring>

#include "engine_dispatch.h"

namespace {

constexpr int32_t engine_name_offset = 8;  // in the INSTRUMENT block

uint32_t get_word(const unsigned char* at) {
  uint32_t word = 0;
  for (int byte = 0; byte < 4; ++byte) word |= static_cast<uint32_t>(at[byte]) << (8 * byte);
  return word;
}
void put_word(unsigned char* at, uint32_t word) {
  for (int byte = 0; byte < 4; ++byte) at[byte] = static_cast<unsigned char>(word >> (8 * byte));
}

uint32_t word_of(const field_location& element) {
  if (element.integer) return static_cast<uint32_t>(element.integer->load());
  uint32_t word;
  const float value = element.real->load();
  std::memcpy(&word, &value, 4);
  return word;
}
void store_word(const field_location& element, uint32_t word) {
  if (element.integer) {
    element.integer->store(static_cast<int32_t>(word));
  } else {
    float value;
    std::memcpy(&value, &word, 4);
    element.real->store(value);
  }
}
field_location element_of(const field_location& row, int32_t j) {
  return {row.integer ? row.integer + j : nullptr, row.real ? row.real + j : nullptr};
}

// Calls visit(spec, element location, file offset, element index) for every
// element of every field of `table` that the file holds, the offsets moved on
// by `base`.
template <typename Visit>
void for_each_stored(INSTRUMENT& instrument, field_table table, int32_t base, Visit&& visit) {
  for (const field_spec& spec : table) {
    if (!spec.in_file()) continue;
    for (int32_t i = 0; i < spec.rows(); ++i) {
      const field_location row = spec.row(instrument, i);
      for (int32_t j = 0; j < spec.row_length(); ++j) {
        const int32_t index = i * spec.row_length() + j;
        visit(spec, element_of(row, j), base + spec.offset + index * 4, index);
      }
    }
  }
}

// Both tables of an image: the engine's fields, then the INSTRUMENT block's.
template <typename Visit>
void for_each_stored(INSTRUMENT& instrument, const image_layout& layout, Visit&& visit) {
  for_each_stored(instrument, layout.engine_fields, 0, visit);
  for_each_stored(instrument, instrument_fields(), layout.block_offset, visit);
}

std::string not_ours(const image_layout& layout) {
  const std::string_view label = layout.engine_name.empty() ? "INSTRUMENT" : layout.engine_name;
  const bool vowel = std::string_view("AEIOU").find(label[0]) != std::string_view::npos;
  std::string text(vowel ? "not an " : "not a ");
  text.append(label);
  return text.append(" pattern file: ");
}

// The name as a message may show it: no control characters.
std::string printable(std::string_view text) {
  std::string shown(text);
  for (char& c : shown)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  return shown;
}

// Built by appending: "[" + std::to_string(...) trips a false -Wrestrict
// warning of g++ 12 in optimised builds.
std::string element_name(const field_spec& spec, int32_t element) {
  std::string name(spec.name);
  const auto index = [&name](int32_t i) {
    name.push_back('[');
    name.append(std::to_string(i));
    name.push_back(']');
  };
  if (spec.dimensions() == 2) {
    index(element / spec.row_length());
    index(element % spec.row_length());
  } else if (spec.dimensions() == 1) {
    index(element);
  }
  return name;
}

std::string number_text(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", value);
  return text;
}

// Why one stored value cannot be loaded, or an empty text.
std::string value_refusal(const field_spec& spec, uint32_t word, int32_t element) {
  double value;
  if (spec.type == field_type::integer) {
    value = static_cast<int32_t>(word);
  } else {
    float real;
    std::memcpy(&real, &word, 4);
    if (!std::isfinite(real)) return element_name(spec, element) + " is not a finite number";
    value = real;
  }
  if (spec.accepts(value)) return {};
  const std::string shown = spec.type == field_type::integer
                                ? std::to_string(static_cast<int32_t>(word))
                                : number_text(value);
  std::string reason = element_name(spec, element) + " " + shown;
  if (std::isinf(spec.high)) return reason + " is below " + number_text(spec.low);
  return reason + " is outside " + number_text(spec.low) + " to " + number_text(spec.high);
}

}  // namespace

image_layout image_layout_of(const INSTRUMENT& instrument) {
  if (const engine_description* engine = engine_of(instrument))
    return {engine->name, engine->image_size, engine->block_offset, engine->fields()};
  return {{}, instrument_block_size, 0, {}};
}

void encode_image(INSTRUMENT& instrument, std::span<unsigned char> image) {
  const image_layout layout = image_layout_of(instrument);
  std::memset(image.data(), 0, image.size());
  std::memcpy(image.data() + layout.block_offset + engine_name_offset, instrument.engine_name,
              engine_name_size);
  // The last byte of the name always ends it, whatever the memory held.
  image[layout.block_offset + engine_name_offset + engine_name_size - 1] = 0;
  for_each_stored(instrument, layout,
                  [&](const field_spec&, field_location element, int32_t at, int32_t) {
                    put_word(image.data() + at, word_of(element));
                  });
}

std::string size_refusal(const INSTRUMENT& instrument, uint64_t size) {
  const image_layout layout = image_layout_of(instrument);
  if (size == static_cast<uint64_t>(layout.size)) return {};
  return not_ours(layout) + std::to_string(size) + " bytes";
}

std::string image_refusal(INSTRUMENT& instrument, std::span<const unsigned char> image) {
  const image_layout layout = image_layout_of(instrument);
  if (std::string refusal = size_refusal(instrument, image.size()); !refusal.empty())
    return refusal;
  const char* name =
      reinterpret_cast<const char*>(image.data() + layout.block_offset + engine_name_offset);
  const size_t name_length = ::strnlen(name, engine_name_size);
  if (name_length == engine_name_size)
    return not_ours(layout) + "its engine name is not terminated";
  const std::string_view own_name(instrument.engine_name,
                                  ::strnlen(instrument.engine_name, engine_name_size));
  if (std::string_view(name, name_length) != own_name)
    return not_ours(layout) + "engine name \"" + printable({name, name_length}) + "\"";
  std::string refusal;
  for_each_stored(instrument, layout,
                  [&](const field_spec& spec, field_location, int32_t at, int32_t index) {
                    if (refusal.empty())
                      refusal = value_refusal(spec, get_word(image.data() + at), index);
                  });
  return refusal;
}

void apply_image(INSTRUMENT& instrument, std::span<const unsigned char> image) {
  const image_layout layout = image_layout_of(instrument);
  for_each_stored(instrument, layout,
                  [&](const field_spec& spec, field_location element, int32_t at, int32_t) {
                    if (!spec.kept_on_load) store_word(element, get_word(image.data() + at));
                  });
}
