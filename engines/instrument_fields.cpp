// The fields of INSTRUMENT, in the order and at the offsets of its 216-byte
// block in a pattern file. The places 0 and 4 (the dispatch and the stream
// handle), 132 and 136 (the two LFO records) and the reserved word 140 hold no
// field: they are written as zeros. `engine_name` (8, 80 bytes of text) is
// handled by the codec itself.
#include "field_table.h"

using namespace field_specs;

namespace {

// The sequencer position and selection must stay inside the 255 x 255
// pattern memory; a file holding anything else is refused.
constexpr double last_index = 254;
constexpr double memory_size = 255;

const field_spec fields[] = {
    // The instrument number identifies the panel that the step events go to:
    // a load keeps the running instrument's own.
    kept<&INSTRUMENT::instrument_number>("instrument_number", 88),
    stored<&INSTRUMENT::step_count>("step_count", 92, 1, memory_size),
    stored<&INSTRUMENT::current_step>("current_step", 96, 0, last_index),
    stored<&INSTRUMENT::step_sample_counter>("step_sample_counter", 100),
    stored<&INSTRUMENT::queued_pattern>("queued_pattern", 104, 0, last_index),
    stored<&INSTRUMENT::chain_switch>("chain_switch", 108),
    stored<&INSTRUMENT::pattern_count>("pattern_count", 112, 1, memory_size),
    stored<&INSTRUMENT::current_pattern>("current_pattern", 116, 0, last_index),
    stored<&INSTRUMENT::samples_per_step>("samples_per_step", 120, 1,
                                          std::numeric_limits<double>::infinity()),
    stored<&INSTRUMENT::power_switch>("power_switch", 124),
    stored<&INSTRUMENT::volume>("volume", 128),
    lfo_field<&INSTRUMENT::envelope_lfo, &LFO::on>("envelope_lfo.on", 0, 0, 1),
    lfo_field<&INSTRUMENT::envelope_lfo, &LFO::position>("envelope_lfo.position", 4),
    lfo_field<&INSTRUMENT::envelope_lfo, &LFO::amplitude>("envelope_lfo.amplitude", 8),
    lfo_field<&INSTRUMENT::envelope_lfo, &LFO::period>("envelope_lfo.period", 12),
    lfo_field<&INSTRUMENT::envelope_lfo, &LFO::third_setting>("envelope_lfo.third_setting", 16),
    lfo_field<&INSTRUMENT::filter_lfo, &LFO::on>("filter_lfo.on", 20, 0, 1),
    lfo_field<&INSTRUMENT::filter_lfo, &LFO::position>("filter_lfo.position", 24),
    lfo_field<&INSTRUMENT::filter_lfo, &LFO::amplitude>("filter_lfo.amplitude", 28),
    lfo_field<&INSTRUMENT::filter_lfo, &LFO::period>("filter_lfo.period", 32),
    lfo_field<&INSTRUMENT::filter_lfo, &LFO::third_setting>("filter_lfo.third_setting", 36),
    stored<&INSTRUMENT::noise_switch>("noise_switch", 144),
    stored<&INSTRUMENT::noise_setting_1>("noise_setting_1", 148),
    stored<&INSTRUMENT::noise_setting_2>("noise_setting_2", 152),
    stored<&INSTRUMENT::noise_setting_3>("noise_setting_3", 156),
    stored<&INSTRUMENT::distortion_switch>("distortion_switch", 160),
    stored<&INSTRUMENT::distortion_level>("distortion_level", 164),
    stored<&INSTRUMENT::p1>("p1", 168),
    stored<&INSTRUMENT::p2>("p2", 172),
    stored<&INSTRUMENT::envelope_switch>("envelope_switch", 176),
    stored<&INSTRUMENT::envelope_level>("envelope_level", 180),
    stored<&INSTRUMENT::filter_switch>("filter_switch", 184),
    stored<&INSTRUMENT::filter_level>("filter_level", 188),
    stored<&INSTRUMENT::hicut>("hicut", 192),
    stored<&INSTRUMENT::filter_cutoff>("filter_cutoff", 196),
    stored<&INSTRUMENT::filter_damping>("filter_damping", 200),
    stored<&INSTRUMENT::filter_coefficient>("filter_coefficient", 204),
    stored<&INSTRUMENT::filter_position>("filter_position", 208),
    stored<&INSTRUMENT::filter_velocity>("filter_velocity", 212),
};

}  // namespace

field_table instrument_fields() {
  return fields;
}

const field_spec* find_in(field_table table, std::string_view name) {
  for (const field_spec& spec : table)
    if (spec.name == name) return &spec;
  return nullptr;
}
