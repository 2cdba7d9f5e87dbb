#include "field_registry.h"

#include <array>
#include <cstring>

#include "engine_dispatch.h"
#include "field_codec.h"
#include "render_arguments.h"

namespace {

// Splits "name[i][j]" into the name and its index texts.
bool split_indices(std::string_view field, std::string_view& name,
                   std::array<std::string_view, 2>& indices, int& count) {
  const size_t open = field.find('[');
  name = field.substr(0, open);
  std::string_view rest = open == std::string_view::npos ? std::string_view() : field.substr(open);
  count = 0;
  while (!rest.empty()) {
    if (rest[0] != '[' || count == 2) return false;
    const size_t close = rest.find(']');
    if (close == std::string_view::npos) return false;
    indices[count++] = rest.substr(1, close - 1);
    rest.remove_prefix(close + 1);
  }
  return !name.empty();
}

std::string quoted(std::string_view text) {
  // Appended piece by piece: "'" + std::string(...) trips a false -Wrestrict
  // warning of g++ 12 in optimised builds.
  std::string result(1, '\'');
  result.append(text);
  result.push_back('\'');
  return result;
}

}  // namespace

field_table engine_fields(const INSTRUMENT& instrument) {
  const engine_description* engine = engine_of(instrument);
  return engine ? engine->fields() : field_table{};
}

const field_spec* find_field(const INSTRUMENT& instrument, std::string_view name) {
  if (const field_spec* spec = find_in(engine_fields(instrument), name)) return spec;
  return find_in(instrument_fields(), name);
}

namespace {

// One element of a field, as FIELD names it.
struct located_field {
  const field_spec* spec = nullptr;
  field_location location;
  int32_t element = 0;  // its index in the field, row by row
};

// The field that FIELD names, with its indices checked against the field's bounds.
bool locate_field(INSTRUMENT& instrument, std::string_view field, located_field& located,
                  std::string& error) {
  std::string_view base;
  std::array<std::string_view, 2> index_texts;
  int index_count = 0;
  if (!split_indices(field, base, index_texts, index_count)) {
    error = "malformed field " + quoted(field);
    return false;
  }
  const field_spec* spec = find_field(instrument, base);
  if (!spec) {
    error = "unknown field " + quoted(base) + " for " + instrument.engine_name;
    return false;
  }
  if (index_count != spec->dimensions()) {
    error = quoted(base) + " takes " + std::to_string(spec->dimensions()) +
            " index(es) in [], got " + std::to_string(index_count);
    return false;
  }
  int32_t indices[2] = {0, 0};
  for (int k = 0; k < index_count; ++k) {
    const auto index = parse_int32(index_texts[k]);
    if (!index) {
      error = "malformed index " + quoted(index_texts[k]) + " of " + quoted(base);
      return false;
    }
    if (*index < 0 || *index >= spec->extents[k]) {
      error = "index " + std::to_string(*index) + " of " + quoted(base) + " out of range (0 to " +
              std::to_string(spec->extents[k] - 1) + ")";
      return false;
    }
    indices[k] = *index;
  }
  located.spec = spec;
  located.location = spec->locate(instrument, indices[0], indices[1]);
  located.element = index_count == 2 ? indices[0] * spec->row_length() + indices[1] : indices[0];
  return true;
}

}  // namespace

bool set_field(INSTRUMENT& instrument, std::string_view field, std::string_view value,
               std::string& error) {
  located_field located;
  if (!locate_field(instrument, field, located, error)) return false;
  const field_spec& spec = *located.spec;
  uint32_t word = 0;
  if (located.location.integer) {
    const auto number = parse_int32(value);
    if (!number) {
      error = quoted(spec.name) + " needs an integer, not " + quoted(value);
      return false;
    }
    word = static_cast<uint32_t>(*number);
  } else {
    const auto number = parse_finite_float(value);
    if (!number) {
      error = quoted(spec.name) + " needs a finite number, not " + quoted(value);
      return false;
    }
    std::memcpy(&word, &*number, sizeof word);
  }
  // The values that a file may hold: a setting that a save would refuse is
  // refused here too, with the same words.
  error = value_refusal(spec, word, located.element);
  if (!error.empty()) return false;
  store_word(located.location, word);
  return true;
}
