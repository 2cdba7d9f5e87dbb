// The engines' own fields, by the names that zem-render's --set uses.
#include <cstring>

#include "field_registry.h"
#include "osc.h"
#include "tb303.h"
#include "tb808.h"

using namespace field_specs;

namespace {

const field_spec tb303_fields[] = {
    scalar<&TB303::wave_kind>("wave_kind"),
    scalar<&TB303::wave_divisor>("wave_divisor"),
    scalar<&TB303::wave_offset>("wave_offset"),
    array<&TB303::pattern_memory>("pattern_memory"),
    scalar<&TB303::phase>("phase"),
};

const field_spec tb808_fields[] = {
    scalar<&TB808::pitch_depth>("pitch_depth"),      scalar<&TB808::pitch_decay>("pitch_decay"),
    scalar<&TB808::drum_level>("drum_level"),        scalar<&TB808::phase_factor>("phase_factor"),
    scalar<&TB808::pitch_factor>("pitch_factor"),    scalar<&TB808::drum_phase>("drum_phase"),
    array<&TB808::pattern_memory>("pattern_memory"),
};

const field_spec osc_fields[] = {
    scalar<&OSC::osc1_wave>("osc1_wave"),
    scalar<&OSC::osc2_wave>("osc2_wave"),
    scalar<&OSC::osc3_wave>("osc3_wave"),
    scalar<&OSC::osc1_on>("osc1_on"),
    scalar<&OSC::osc2_on>("osc2_on"),
    scalar<&OSC::osc3_on>("osc3_on"),
    scalar<&OSC::osc1_factor>("osc1_factor"),
    scalar<&OSC::osc2_factor>("osc2_factor"),
    scalar<&OSC::osc3_factor>("osc3_factor"),
    scalar<&OSC::osc1_offset>("osc1_offset"),
    scalar<&OSC::osc2_offset>("osc2_offset"),
    scalar<&OSC::osc3_offset>("osc3_offset"),
    array<&OSC::step_frequencies>("step_frequencies"),
    scalar<&OSC::phase>("phase"),
};

}  // namespace

field_table engine_fields(const INSTRUMENT& instrument) {
  // The engine is chosen by its name, as the audio layer chooses `render`.
  const char* name = instrument.engine_name;
  if (std::strcmp(name, "TB303") == 0) return tb303_fields;
  if (std::strcmp(name, "TB808") == 0) return tb808_fields;
  if (std::strcmp(name, "OSC") == 0) return osc_fields;
  return {};
}
