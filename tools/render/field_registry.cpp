#include "field_registry.h"

#include <array>

#include "render_arguments.h"

using namespace field_specs;

namespace {

const field_spec base_fields[] = {
    scalar<&INSTRUMENT::instrument_number>("instrument_number"),
    scalar<&INSTRUMENT::step_count>("step_count"),
    scalar<&INSTRUMENT::current_step>("current_step"),
    scalar<&INSTRUMENT::step_sample_counter>("step_sample_counter"),
    scalar<&INSTRUMENT::queued_pattern>("queued_pattern"),
    scalar<&INSTRUMENT::chain_switch>("chain_switch"),
    scalar<&INSTRUMENT::pattern_count>("pattern_count"),
    scalar<&INSTRUMENT::current_pattern>("current_pattern"),
    scalar<&INSTRUMENT::samples_per_step>("samples_per_step"),
    scalar<&INSTRUMENT::power_switch>("power_switch"),
    scalar<&INSTRUMENT::volume>("volume"),
    lfo_field<&INSTRUMENT::envelope_lfo, &LFO::on>("envelope_lfo.on"),
    lfo_field<&INSTRUMENT::envelope_lfo, &LFO::position>("envelope_lfo.position"),
    lfo_field<&INSTRUMENT::envelope_lfo, &LFO::amplitude>("envelope_lfo.amplitude"),
    lfo_field<&INSTRUMENT::envelope_lfo, &LFO::period>("envelope_lfo.period"),
    lfo_field<&INSTRUMENT::envelope_lfo, &LFO::third_setting>("envelope_lfo.third_setting"),
    lfo_field<&INSTRUMENT::filter_lfo, &LFO::on>("filter_lfo.on"),
    lfo_field<&INSTRUMENT::filter_lfo, &LFO::position>("filter_lfo.position"),
    lfo_field<&INSTRUMENT::filter_lfo, &LFO::amplitude>("filter_lfo.amplitude"),
    lfo_field<&INSTRUMENT::filter_lfo, &LFO::period>("filter_lfo.period"),
    lfo_field<&INSTRUMENT::filter_lfo, &LFO::third_setting>("filter_lfo.third_setting"),
    scalar<&INSTRUMENT::noise_switch>("noise_switch"),
    scalar<&INSTRUMENT::noise_setting_1>("noise_setting_1"),
    scalar<&INSTRUMENT::noise_setting_2>("noise_setting_2"),
    scalar<&INSTRUMENT::noise_setting_3>("noise_setting_3"),
    scalar<&INSTRUMENT::distortion_switch>("distortion_switch"),
    scalar<&INSTRUMENT::distortion_level>("distortion_level"),
    scalar<&INSTRUMENT::p1>("p1"),
    scalar<&INSTRUMENT::p2>("p2"),
    scalar<&INSTRUMENT::envelope_switch>("envelope_switch"),
    scalar<&INSTRUMENT::envelope_level>("envelope_level"),
    scalar<&INSTRUMENT::filter_switch>("filter_switch"),
    scalar<&INSTRUMENT::filter_level>("filter_level"),
    scalar<&INSTRUMENT::hicut>("hicut"),
    scalar<&INSTRUMENT::filter_cutoff>("filter_cutoff"),
    scalar<&INSTRUMENT::filter_damping>("filter_damping"),
    scalar<&INSTRUMENT::filter_coefficient>("filter_coefficient"),
    scalar<&INSTRUMENT::filter_position>("filter_position"),
    scalar<&INSTRUMENT::filter_velocity>("filter_velocity"),
};

const field_spec* find_in(field_table table, std::string_view name) {
  for (const field_spec& spec : table)
    if (spec.name == name) return &spec;
  return nullptr;
}

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

field_table instrument_fields() {
  return base_fields;
}

const field_spec* find_field(const INSTRUMENT& instrument, std::string_view name) {
  if (const field_spec* spec = find_in(engine_fields(instrument), name)) return spec;
  return find_in(instrument_fields(), name);
}

namespace {

// The field that FIELD names, with its indices checked against the field's bounds.
bool locate_field(INSTRUMENT& instrument, std::string_view field, field_location& location,
                  std::string& name, std::string& error) {
  std::string_view base;
  std::array<std::string_view, 2> index_texts;
  int index_count = 0;
  if (!split_indices(field, base, index_texts, index_count)) {
    error = "malformed field " + quoted(field);
    return false;
  }
  name = base;
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
  location = spec->locate(instrument, indices[0], indices[1]);
  return true;
}

}  // namespace

bool set_field(INSTRUMENT& instrument, std::string_view field, std::string_view value,
               std::string& error) {
  field_location location;
  std::string name;
  if (!locate_field(instrument, field, location, name, error)) return false;
  if (location.integer) {
    const auto number = parse_int32(value);
    if (!number) {
      error = quoted(name) + " needs an integer, not " + quoted(value);
      return false;
    }
    *location.integer = *number;
  } else {
    const auto number = parse_finite_float(value);
    if (!number) {
      error = quoted(name) + " needs a finite number, not " + quoted(value);
      return false;
    }
    *location.real = *number;
  }
  return true;
}
