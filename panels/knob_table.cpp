#include "knob_table.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "font.h"
#include "name_keys.h"
#include "notes.h"
#include "osc_gui.h"
#include "panel_names.h"
#include "sequencer.h"
#include "tb303_gui.h"
#include "tb808_gui.h"
#include "truncation.h"

namespace {

// ---- Steps ------------------------------------------------------------------
// Single-precision constants added in single precision; integer steps stop at
// the ends of the 32-bit range instead of overflowing.

constexpr float hundredth = 0.01f;
constexpr float twentieth = 0.05f;
constexpr float two_hundredth = 0.005f;
constexpr float ten_thousandth = 0.0001f;
constexpr float tenth = 0.1f;
constexpr float one = 1.0f;
constexpr int32_t hundred = 100;

void add_to(shared_float& field, float step, int sign) {
  field = sign > 0 ? field + step : field - step;
}

void add_to(shared_int& field, int32_t step, int sign) {
  const int64_t sum = static_cast<int64_t>(field) + sign * static_cast<int64_t>(step);
  field = static_cast<int32_t>(std::clamp<int64_t>(sum, std::numeric_limits<int32_t>::min(),
                                                   std::numeric_limits<int32_t>::max()));
}

// A value set from a controller: a float field takes it in single precision,
// an int field the nearest whole number within the 32-bit range.
void store(shared_float& field, double value) {
  field = static_cast<float>(value);
}

void store(shared_int& field, double value) {
  constexpr double lowest = std::numeric_limits<int32_t>::min();
  constexpr double highest = std::numeric_limits<int32_t>::max();
  field = static_cast<int32_t>(std::clamp(std::round(value), lowest, highest));
}

// ---- Generic knobs: the INSTRUMENT's fields and operations ------------------

template <auto field>
double instrument_value(const INSTRUMENT_GUI& panel, int32_t) {
  return (panel.*field).load();
}

template <int32_t (INSTRUMENT::*operation)()>
void instrument_step(INSTRUMENT_GUI& panel, int32_t) {
  (panel.*operation)();
}

template <auto field>
void instrument_set(INSTRUMENT_GUI& panel, int32_t, double value) {
  store(panel.*field, value);
}

template <std::unique_ptr<LFO> INSTRUMENT::*lfo, shared_float LFO::*field>
double lfo_value(const INSTRUMENT_GUI& panel, int32_t) {
  return ((panel.*lfo).get()->*field).load();
}

template <std::unique_ptr<LFO> INSTRUMENT::*lfo, int32_t (LFO::*operation)()>
void lfo_step(INSTRUMENT_GUI& panel, int32_t) {
  ((panel.*lfo).get()->*operation)();
}

template <std::unique_ptr<LFO> INSTRUMENT::*lfo, shared_float LFO::*field>
void lfo_set(INSTRUMENT_GUI& panel, int32_t, double value) {
  store((panel.*lfo).get()->*field, value);
}

// ---- Engine knobs: fields of the panel's engine ----------------------------

template <typename Panel, auto field>
double engine_value(const INSTRUMENT_GUI& panel, int32_t) {
  return (static_cast<const Panel&>(panel).*field).load();
}

template <typename Panel, auto field, const auto& step, int sign>
void engine_step(INSTRUMENT_GUI& panel, int32_t) {
  add_to(static_cast<Panel&>(panel).*field, step, sign);
}

template <typename Panel, auto field>
void engine_set(INSTRUMENT_GUI& panel, int32_t, double value) {
  store(static_cast<Panel&>(panel).*field, value);
}

// The bass line's note knobs edit the playing pattern; a pattern or step
// outside the memory is neither read nor written.
double tb303_note(const INSTRUMENT_GUI& panel, int32_t step) {
  const auto& bass = static_cast<const TB303_GUI&>(panel);
  return bass.step_frequency(bass.current_pattern, step);
}

template <int sign>
void tb303_note_step(INSTRUMENT_GUI& panel, int32_t step) {
  auto& bass = static_cast<TB303_GUI&>(panel);
  const int32_t pattern = bass.current_pattern;
  if (!inside_pattern_memory(pattern) || !inside_pattern_memory(step)) return;
  add_to(bass.pattern_memory[pattern][step], one, sign);
}

void tb303_note_set(INSTRUMENT_GUI& panel, int32_t step, double value) {
  auto& bass = static_cast<TB303_GUI&>(panel);
  const int32_t pattern = bass.current_pattern;
  if (!inside_pattern_memory(pattern) || !inside_pattern_memory(step)) return;
  store(bass.pattern_memory[pattern][step], value);
}

double osc_note(const INSTRUMENT_GUI& panel, int32_t step) {
  return static_cast<const OSC_GUI&>(panel).step_frequency(step);
}

template <int sign>
void osc_note_step(INSTRUMENT_GUI& panel, int32_t step) {
  if (!inside_pattern_memory(step)) return;
  add_to(static_cast<OSC_GUI&>(panel).step_frequencies[step], one, sign);
}

void osc_note_set(INSTRUMENT_GUI& panel, int32_t step, double value) {
  if (!inside_pattern_memory(step)) return;
  store(static_cast<OSC_GUI&>(panel).step_frequencies[step], value);
}

// ---- The table ---------------------------------------------------------------

using enum knob_panel;
using enum readout_place;
using I = INSTRUMENT;

constexpr angle_rule turn_360{360, -45, 0};  // a whole turn per unit, from -45 degrees
constexpr angle_rule as_is{1, 0, 0};         // one degree per unit

// Every note a controller reaches: position n plays note n.
constexpr knob_range all_notes{0, highest_controller_position, true};

template <auto field, int32_t (I::*down)(), int32_t (I::*up)()>
constexpr knob generic_knob(const char* key, angle_rule angle, const char* format, knob_range range,
                            bool integral = false) {
  return {generic,
          key,
          0,
          instrument_value<field>,
          instrument_step<down>,
          instrument_step<up>,
          instrument_set<field>,
          angle,
          format,
          integral,
          held,
          range};
}

template <std::unique_ptr<LFO> I::*lfo, shared_float LFO::*field, int32_t (LFO::*down)(),
          int32_t (LFO::*up)()>
constexpr knob lfo_knob(const char* key, angle_rule angle, knob_range range) {
  return {generic,
          key,
          0,
          lfo_value<lfo, field>,
          lfo_step<lfo, down>,
          lfo_step<lfo, up>,
          lfo_set<lfo, field>,
          angle,
          "%3.3f",
          false,
          held,
          range};
}

// An engine knob whose "DOWN" adds the step (down_sign 1) or takes it away
// (down_sign -1); "UP" does the opposite.
template <typename Panel, auto field, const auto& step, int down_sign>
constexpr knob engine_knob(knob_panel panel, const char* key, angle_rule angle, const char* format,
                           knob_range range, bool integral = false) {
  return {panel,
          key,
          0,
          engine_value<Panel, field>,
          engine_step<Panel, field, step, down_sign>,
          engine_step<Panel, field, step, -down_sign>,
          engine_set<Panel, field>,
          angle,
          format,
          integral,
          held,
          range};
}

template <typename Panel, auto field>
constexpr knob shown_value(knob_panel panel, const char* key) {
  return {panel, key,  0, engine_value<Panel, field>, nullptr, nullptr, nullptr, as_is, "%d",
          true,  held, {}};
}

const knob all_knobs[] = {
    // Voice chain, noise and LFOs of every panel. A downward drag ("DOWN")
    // raises every value but the filter level. A controller sweeps: the
    // volume from silence to full, the filter's output gain (hicut / 10)
    // from silence to twice, its cut-off to 10 kHz, the envelope to twice
    // its start, the distortion from clean to ten times its start, the
    // distortion's divisors over their useful span, the noise amount to its
    // start and its two divisors to twice theirs, the LFO depths to full,
    // their periods around their start.
    generic_knob<&I::volume, &I::volume_up, &I::volume_down>("SLD_1_BASE", turn_360, "%2.2f ",
                                                             {0, 1}),
    generic_knob<&I::hicut, &I::hicut_up, &I::hicut_down>("SLD_2_BASE", {18, -45, 0}, "%3.1f",
                                                          {0, 20}),
    generic_knob<&I::filter_level, &I::filter_level_down, &I::filter_level_up>(
        "SLD_3_BASE", {0, -45, 50}, "%6d", {0, 10000}, true),
    generic_knob<&I::envelope_level, &I::envelope_level_up, &I::envelope_level_down>(
        "SLD_4_BASE", turn_360, "%2.1f", {0, 2}),
    generic_knob<&I::distortion_level, &I::distortion_level_up, &I::distortion_level_down>(
        "SLD_5_BASE", turn_360, "%3.1f", {0, 10}),
    generic_knob<&I::p1, &I::p1_up, &I::p1_down>("SLD_6_BASE", {50, -45, 0}, "%3.1f", {0.1, 5}),
    generic_knob<&I::p2, &I::p2_up, &I::p2_down>("SLD_7_BASE", {5, -45, 0}, "%3.1f", {0.1, 64}),
    generic_knob<&I::noise_setting_1, &I::noise_setting_1_up, &I::noise_setting_1_down>(
        "SLD_NOISE_1", turn_360, "%3.3f", {0, 1}),
    generic_knob<&I::noise_setting_2, &I::noise_setting_2_up, &I::noise_setting_2_down>(
        "SLD_NOISE_2", as_is, "%3.3f", {10, 20000}),
    generic_knob<&I::noise_setting_3, &I::noise_setting_3_up, &I::noise_setting_3_down>(
        "SLD_NOISE_3", as_is, "%3.3f", {10, 20000}),
    lfo_knob<&I::envelope_lfo, &LFO::amplitude, &LFO::amplitude_up, &LFO::amplitude_down>(
        "SLD_LFO_ENVELOPPE_1", turn_360, {0, 1}),
    lfo_knob<&I::envelope_lfo, &LFO::period, &LFO::period_up, &LFO::period_down>(
        "SLD_LFO_ENVELOPPE_2", turn_360, {1, 64}),
    lfo_knob<&I::envelope_lfo, &LFO::third_setting, &LFO::third_setting_up,
             &LFO::third_setting_down>("SLD_LFO_ENVELOPPE_3", as_is, {0, 1000}),
    lfo_knob<&I::filter_lfo, &LFO::amplitude, &LFO::amplitude_up, &LFO::amplitude_down>(
        "SLD_LFO_FILTER_1", turn_360, {0, 1}),
    lfo_knob<&I::filter_lfo, &LFO::period, &LFO::period_up, &LFO::period_down>("SLD_LFO_FILTER_2",
                                                                               turn_360, {1, 64}),
    lfo_knob<&I::filter_lfo, &LFO::third_setting, &LFO::third_setting_up, &LFO::third_setting_down>(
        "SLD_LFO_FILTER_3", as_is, {0, 1000}),

    // Bass line: the wave parameters go down with a downward drag, like the
    // step notes, which sound one hertz lower per pixel. A controller takes
    // the wave's divisor from a tenth to twice its start and its offset over
    // one whole cycle, and plays the notes on the tempered scale.
    engine_knob<TB303_GUI, &TB303::wave_divisor, hundredth, -1>(tb303, "SLD_PARAM1", {100, 0, 0},
                                                                "%2.2f", {0.1, 2}),
    engine_knob<TB303_GUI, &TB303::wave_offset, hundredth, -1>(tb303, "SLD_PARAM2", {100, 0, 0},
                                                               "%2.2f", {0, 1}),
    shown_value<TB303_GUI, &TB303::wave_kind>(tb303, "BUTTON_TOGGLE_OSC_TYPE"),
    {tb303, "SLD_%1d_NOTE", 16, tb303_note, tb303_note_step<-1>, tb303_note_step<1>, tb303_note_set,
     as_is, "%4.0f", false, note_hover, all_notes},

    // Drums: the drum-voice parameters rise with a downward drag; their
    // angles have no -45 degree offset. A controller sweeps the pitch drop
    // from none to about 800 Hz, its decay from a click (a quarter of its
    // start's length) to none, the level to twice its start (clipping
    // beyond 10.7) and the phase factor around its start.
    engine_knob<TB808_GUI, &TB808::pitch_depth, hundred, 1>(tb808, "SLD_PARAM1", {0, 0, 100}, "%4d",
                                                            {0, 5000}, true),
    engine_knob<TB808_GUI, &TB808::pitch_decay, ten_thousandth, 1>(
        tb808, "SLD_PARAM2", {1000, 0, 0}, "%0.4f", {0.996, 1}),
    engine_knob<TB808_GUI, &TB808::drum_level, one, 1>(tb808, "SLD_PARAM3", as_is, "%3.0f",
                                                       {0, 16}),
    engine_knob<TB808_GUI, &TB808::phase_factor, tenth, 1>(tb808, "SLD_PARAM4", {10, 0, 0}, "%3.1f",
                                                           {0.1, 4}),

    // Oscillators: step notes go down with a downward drag, factors and
    // offsets up; the third factor moves five times faster. The factor and
    // the offset both divide the oscillator's pitch: a controller takes the
    // factors from a tenth to four times their start (ten for the fast
    // third) and the offsets two octaves either way.
    {osc, "SLD_%1d_NOTE", 8, osc_note, osc_note_step<-1>, osc_note_step<1>, osc_note_set, as_is,
     "%4.0f", false, note_always, all_notes},
    engine_knob<OSC_GUI, &OSC::osc1_factor, hundredth, 1>(osc, "SLD_OSC1_FACTOR", {3, 0, 0},
                                                          "%3.3f", {0.1, 4}),
    engine_knob<OSC_GUI, &OSC::osc2_factor, hundredth, 1>(osc, "SLD_OSC2_FACTOR", {3, 0, 0},
                                                          "%3.3f", {0.1, 4}),
    engine_knob<OSC_GUI, &OSC::osc3_factor, twentieth, 1>(osc, "SLD_OSC3_FACTOR", {3, 0, 0},
                                                          "%3.3f", {0.1, 10}),
    engine_knob<OSC_GUI, &OSC::osc1_offset, two_hundredth, 1>(osc, "SLD_OSC1_OFFSET", {200, 0, 0},
                                                              "%4.4f", {0.025, 0.4}),
    engine_knob<OSC_GUI, &OSC::osc2_offset, two_hundredth, 1>(osc, "SLD_OSC2_OFFSET", {200, 0, 0},
                                                              "%4.4f", {0.025, 0.4}),
    engine_knob<OSC_GUI, &OSC::osc3_offset, two_hundredth, 1>(osc, "SLD_OSC3_OFFSET", {200, 0, 0},
                                                              "%4.4f", {0.025, 0.4}),
    shown_value<OSC_GUI, &OSC::osc1_wave>(osc, "BUTTON_TOGGLE_OSC_1_TYPE"),
    shown_value<OSC_GUI, &OSC::osc2_wave>(osc, "BUTTON_TOGGLE_OSC_2_TYPE"),
    shown_value<OSC_GUI, &OSC::osc3_wave>(osc, "BUTTON_TOGGLE_OSC_3_TYPE"),
};

// ---- Read-outs ---------------------------------------------------------------

// A read-out lies over whatever stands beside its knob, often the next
// knob's label in the same white, whose letters swallow a minus sign. A
// negative value is drawn with a dark rim around every character, which
// keeps its sign readable; other values are drawn as they always were.
// The text's own colour is put back by hand: Mesa was seen to lose it across
// a glPushAttrib / glPopAttrib pair around text.
void print_readout(const FONT& font, float x, float y, const char* text) {
  if (std::strchr(text, '-') != nullptr) {
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    glColor3ub(0, 0, 0);
    for (const float dx : {-1.0f, 0.0f, 1.0f}) {
      for (const float dy : {-1.0f, 0.0f, 1.0f}) {
        if (dx != 0 || dy != 0) print_text(font, x + dx, y + dy, "%s", text);
      }
    }
    glColor4fv(colour);
  }
  print_text(font, x, y, "%s", text);
}

void print_value(const knob& k, const FONT& font, float x, float y, double value) {
  char text[256];
  if (k.integral) {
    std::snprintf(text, sizeof text, k.format, truncate_to_int32(value));
  } else {
    std::snprintf(text, sizeof text, k.format, value);
  }
  print_readout(font, x, y, text);
}

// Text coordinates count from the bottom of the 625-pixel window.
void draw_readout(const knob& k, const INSTRUMENT_GUI& panel, int32_t step, const SPRITE& widget) {
  const double value = k.value(panel, step);
  const float x = widget.x;
  const float y = 625 - widget.y;
  switch (k.place) {
    case held:
      if (widget.pressed == 1) print_value(k, large_font, x + 35, y - 20, value);
      break;
    case note_hover:
      if (widget.pressed == 1 || widget.touched != 0) {
        print_value(k, large_font, x - 10, y - 20, value);
      }
      break;
    case note_always:
      if (widget.pressed == 1) {
        print_value(k, large_font, x - 25, y - 25, value);
      } else {
        print_value(k, small_font, x - 10, y - 20, value);
      }
      break;
  }
}

// Calls visit(knob, step, widget) for every knob of the panel `which` and
// each of its steps that has a widget on the panel, in table order.
template <typename Visit>
void for_each_knob_widget(INSTRUMENT_GUI& panel, knob_panel which, Visit&& visit) {
  for (const knob& k : all_knobs) {
    if (k.panel != which) continue;
    const int32_t steps = k.count == 0 ? 1 : k.count;
    for (int32_t step = 0; step < steps; ++step) {
      char key[NAME_FIELD_SIZE];
      std::snprintf(key, sizeof key, k.key, step);
      if (SPRITE* widget = find_companion(key, nullptr, panel.items)) visit(k, step, *widget);
    }
  }
}

}  // namespace

std::span<const knob> knob_table() {
  return all_knobs;
}

const knob* find_knob(knob_panel panel, const char* key) {
  for (const knob& k : all_knobs) {
    if (k.panel == panel && std::strcmp(k.key, key) == 0) return &k;
  }
  return nullptr;
}

int32_t knob_angle(const knob& k, double value) {
  const angle_rule& rule = k.angle;
  if (rule.divisor != 0) {
    return truncate_to_int32(value) / rule.divisor + static_cast<int32_t>(rule.offset);
  }
  return truncate_to_int32(value * rule.scale + rule.offset);
}

bool step_knob(const knob& k, INSTRUMENT_GUI& panel, int32_t step, const char* action,
               SPRITE& widget) {
  bool stepped = false;
  if (k.down != nullptr && has_key(action, "DOWN")) {
    k.down(panel, step);
    widget.angle = knob_angle(k, k.value(panel, step));
    stepped = true;
  }
  if (k.up != nullptr && has_key(action, "UP")) {
    k.up(panel, step);
    widget.angle = knob_angle(k, k.value(panel, step));
    stepped = true;
  }
  return stepped;
}

double knob_value_at(const knob& k, int32_t position) {
  const double share = static_cast<double>(std::clamp(position, 0, highest_controller_position)) /
                       highest_controller_position;
  // lerp gives the ends exactly.
  const double value = std::lerp(k.range.low, k.range.high, share);
  return k.range.in_notes ? tempered_note_frequency(value) : value;
}

void set_knob(const knob& k, INSTRUMENT_GUI& panel, int32_t step, int32_t position,
              SPRITE* widget) {
  if (k.set == nullptr) return;
  k.set(panel, step, knob_value_at(k, position));
  if (widget != nullptr) widget->angle = knob_angle(k, k.value(panel, step));
}

void draw_knob_readouts(INSTRUMENT_GUI& panel, knob_panel which) {
  for_each_knob_widget(panel, which, [&](const knob& k, int32_t step, SPRITE& widget) {
    draw_readout(k, panel, step, widget);
  });
}

void show_knob_values(INSTRUMENT_GUI& panel, knob_panel which) {
  for_each_knob_widget(panel, which, [&](const knob& k, int32_t step, SPRITE& widget) {
    // A widget that only shows a value is a button, never turned.
    if (k.down != nullptr || k.up != nullptr) widget.angle = knob_angle(k, k.value(panel, step));
  });
}
