#include "pattern_image.h"

#include <cstring>

#include "engine_dispatch.h"
#include "field_codec.h"

namespace {

constexpr int32_t engine_name_offset = 8;  // in the INSTRUMENT block

// Both tables of an image: the engine's fields, then the INSTRUMENT block's.
template <typename Visit>
void for_each_stored(INSTRUMENT& instrument, const image_layout& layout, Visit&& visit) {
  const auto file_offset = [](const field_spec& spec) { return spec.offset; };
  for_each_placed(instrument, layout.engine_fields, 0, file_offset, visit);
  for_each_placed(instrument, instrument_fields(), layout.block_offset, file_offset, visit);
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

// A request for pattern 0 has no file form, a queued 0 meaning none: the
// image holds it as the next step boundary leaves it, pattern 0 playing and
// nothing queued.
void settle_pattern_zero_request(const image_layout& layout, std::span<unsigned char> image) {
  const field_table block = instrument_fields();
  unsigned char* queued =
      image.data() + layout.block_offset + find_in(block, "queued_pattern")->offset;
  if (get_word(queued) != static_cast<uint32_t>(queued_pattern_zero)) return;
  put_word(queued, 0);
  put_word(image.data() + layout.block_offset + find_in(block, "current_pattern")->offset, 0);
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
  settle_pattern_zero_request(layout, image);
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
