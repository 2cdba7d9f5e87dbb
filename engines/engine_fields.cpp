// Each engine's own fields, at their offsets in the engine's pattern-file
// image. The word at 0 of every image and the word just before the
// INSTRUMENT block hold no field (they are written as zeros).
#include "field_table.h"
#include "osc.h"
#include "tb303.h"
#include "tb808.h"

using namespace field_specs;

namespace {

const field_spec tb303[] = {
    stored<&TB303::wave_kind>("wave_kind", 4),
    stored<&TB303::wave_divisor>("wave_divisor", 8),
    stored<&TB303::wave_offset>("wave_offset", 12),
    stored<&TB303::pattern_memory>("pattern_memory", 16),
    stored<&TB303::phase>("phase", 260116),
};

const field_spec tb808[] = {
    stored<&TB808::pitch_depth>("pitch_depth", 4),
    stored<&TB808::pitch_decay>("pitch_decay", 8),
    stored<&TB808::drum_level>("drum_level", 12),
    stored<&TB808::phase_factor>("phase_factor", 16),
    stored<&TB808::pitch_factor>("pitch_factor", 20),
    stored<&TB808::drum_phase>("drum_phase", 24),
    stored<&TB808::pattern_memory>("pattern_memory", 28),
};

const field_spec osc[] = {
    stored<&OSC::osc1_wave>("osc1_wave", 4),
    stored<&OSC::osc2_wave>("osc2_wave", 8),
    stored<&OSC::osc3_wave>("osc3_wave", 12),
    stored<&OSC::osc1_on>("osc1_on", 16),
    stored<&OSC::osc2_on>("osc2_on", 20),
    stored<&OSC::osc3_on>("osc3_on", 24),
    stored<&OSC::osc1_factor>("osc1_factor", 28),
    stored<&OSC::osc2_factor>("osc2_factor", 32),
    stored<&OSC::osc3_factor>("osc3_factor", 36),
    stored<&OSC::osc1_offset>("osc1_offset", 40),
    stored<&OSC::osc2_offset>("osc2_offset", 44),
    stored<&OSC::osc3_offset>("osc3_offset", 48),
    stored<&OSC::step_frequencies>("step_frequencies", 52),
    stored<&OSC::phase>("phase", 1072),
};

}  // namespace

field_table tb303_fields() {
  return tb303;
}
field_table tb808_fields() {
  return tb808;
}
field_table osc_fields() {
  return osc;
}
