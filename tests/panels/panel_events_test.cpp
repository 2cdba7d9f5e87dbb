// The panels' event passes, record by record: pattern queueing, switches,
// the knob table with its exact values and angles, drum steps, waveforms and
// oscillator switches, and what the generic pass leaves for the engine panels.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "panel_test_support.h"

namespace {

using namespace panel_test;

// ---- Pattern and bank buttons ------------------------------------------------

TEST(PanelEvents, PatternButtonsQueueInThePlayingBank) {
  struct row {
    int32_t playing;
    const char* button;
    int32_t queued;
  };
  const row rows[] = {
      {13, "BUTTON_PATTERN_3", 10},  // 3 of the bank that holds 13
      {13, "BUTTON_PATTERN_14", 24},
      {13, "BUTTON_PATTERN_12", 8},
      {5, "BUTTON_PATTERN_1", 0},  // pattern 0: no request
      {5, "BUTTON_PATTERN_11", 0},
      {-3, "BUTTON_PATTERN_2", 1},             // -3 / 8 is 0: the first bank
      {INT_MAX, "BUTTON_PATTERN_8", INT_MAX},  // stops at the top of the range
  };
  for (const row& r : rows) {
    SCOPED_TRACE(std::string(r.button) + " playing " + std::to_string(r.playing));
    auto panel = make_panel(knob_panel::tb303);
    SPRITE& button = add_widget(*panel, r.button);
    panel->current_pattern = r.playing;
    panel->queued_pattern = 77;
    queue_button(*panel, button, RAW_MOUSE_BUTTON_DOWN);  // a press queues nothing
    panel->INSTRUMENT_GUI::process_events();
    EXPECT_EQ(panel->queued_pattern, 77);
    queue_button(*panel, button, RAW_MOUSE_BUTTON_UP);
    panel->INSTRUMENT_GUI::process_events();
    EXPECT_EQ(panel->queued_pattern, r.queued);
    EXPECT_EQ(panel->event_queue.size(), 2u);  // both records stay for the engine panel
    panel->process_events();
    EXPECT_TRUE(panel->event_queue.empty());
  }
}

// ---- Switches ----------------------------------------------------------------

TEST(PanelEvents, SwitchesToggleShowTheirStateAndAreConsumedWhenOn) {
  struct row {
    const char* button;
    std::function<int32_t(INSTRUMENT_GUI&)> state;
  };
  const row rows[] = {
      {"BUTTON_TOGGLE_POWER", [](INSTRUMENT_GUI& p) { return p.power_switch.load(); }},
      {"BUTTON_TOGGLE_FILTER", [](INSTRUMENT_GUI& p) { return p.filter_switch.load(); }},
      {"BUTTON_TOGGLE_ENVELOPPE", [](INSTRUMENT_GUI& p) { return p.envelope_switch.load(); }},
      {"BUTTON_TOGGLE_DISTORT", [](INSTRUMENT_GUI& p) { return p.distortion_switch.load(); }},
      {"BUTTON_TOGGLE_NOISE", [](INSTRUMENT_GUI& p) { return p.noise_switch.load(); }},
      {"BUTTON_TOGGLE_LFO_ENVELOPPE", [](INSTRUMENT_GUI& p) { return p.envelope_lfo->on.load(); }},
      {"BUTTON_TOGGLE_LFO_FILTER", [](INSTRUMENT_GUI& p) { return p.filter_lfo->on.load(); }},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.button);
    auto panel = make_panel(knob_panel::tb808);
    SPRITE& button = add_widget(*panel, r.button, "START");
    for (int turn = 0; turn < 2; ++turn) {
      const int32_t before = r.state(*panel);
      queue_button(*panel, button, RAW_MOUSE_BUTTON_UP);
      panel->INSTRUMENT_GUI::process_events();
      const int32_t after = r.state(*panel);
      EXPECT_EQ(after, before == 1 ? 0 : 1);
      EXPECT_STREQ(button.name, after == 1 ? "CHK_2_ON" : "CHK_2_OFF");
      EXPECT_EQ(panel->event_queue.size(), after == 1 ? 0u : 1u);
      panel->event_queue.clear();
    }
  }
}

TEST(PanelEvents, OtherToggleButtonsAreLeftToTheEnginePanel) {
  auto panel = make_panel(knob_panel::tb303);
  SPRITE& wave = add_widget(*panel, "BUTTON_TOGGLE_OSC_TYPE", "START");
  queue_button(*panel, wave, RAW_MOUSE_BUTTON_UP);
  panel->INSTRUMENT_GUI::process_events();
  EXPECT_STREQ(wave.name, "START");
  EXPECT_EQ(panel->event_queue.size(), 1u);
}

// ---- What the generic pass consumes --------------------------------------------

TEST(PanelEvents, GenericPassConsumesVoiceChainStepsAndKeepsTheRestInOrder) {
  auto panel = make_panel(knob_panel::tb303);
  SPRITE& volume = add_widget(*panel, "SLD_1_BASE");
  SPRITE& no_knob = add_widget(*panel, "SLD_9_BASE");
  SPRITE& noise = add_widget(*panel, "SLD_NOISE_2");
  SPRITE& lfo = add_widget(*panel, "SLD_LFO_FILTER_1");
  SPRITE& param = add_widget(*panel, "SLD_PARAM1");
  auto queue = [&](SPRITE& w, const char* action) {
    queue_event(*panel, std::make_unique<widget_event>(0, nullptr, action, &w));
  };
  queue(volume, "SLD_DOWN");
  queue(volume, "TOUCH_IN");
  queue(no_knob, "SLD_UP");
  queue(noise, "SLD_DOWN");
  queue(lfo, "SLD_UP");
  queue(param, "SLD_DOWN");
  queue(param, "TOUCH_OUT");
  param.touched = 1;
  panel->INSTRUMENT_GUI::process_events();

  // Kept: the touch on the volume knob, the noise and LFO steps, the two
  // records of the engine's knob; oldest at the back.
  std::vector<std::string> kept;
  for (auto it = panel->event_queue.rbegin(); it != panel->event_queue.rend(); ++it) {
    kept.push_back(std::string((*it)->target == &volume  ? "volume"
                               : (*it)->target == &noise ? "noise"
                               : (*it)->target == &lfo   ? "lfo"
                                                         : "param") +
                   " " + (*it)->action);
  }
  EXPECT_EQ(kept, (std::vector<std::string>{"volume TOUCH_IN", "noise SLD_DOWN", "lfo SLD_UP",
                                            "param SLD_DOWN", "param TOUCH_OUT"}));
  EXPECT_EQ(volume.touched, 1);
  EXPECT_EQ(param.touched, 0);
  EXPECT_FLOAT_EQ(panel->noise_setting_2, 10010.0f);
  EXPECT_EQ(bass(*panel).wave_divisor, 1.0f);  // not the generic pass's to step

  panel->process_events();
  EXPECT_TRUE(panel->event_queue.empty());
  EXPECT_EQ(bass(*panel).wave_divisor, 0.99f);
}

// ---- The knob table ----------------------------------------------------------------

struct knob_case {
  knob_panel panel;
  const char* widget;
  const char* action;
  int records;
  double (*field)(INSTRUMENT_GUI&);  // the field the knob must change
  double value;                      // exact single-precision result
  int32_t angle;
};

// Expected values are the single-precision sums worked out apart from the
// code; several angles fall just below a whole number, where a product
// worked in single precision would round up.
const knob_case knob_cases[] = {
    {knob_panel::generic, "SLD_1_BASE", "SLD_DOWN", 3,
     [](INSTRUMENT_GUI& p) -> double { return p.volume; }, 0x1.0f5c28p-1, 145},
    {knob_panel::generic, "SLD_1_BASE", "SLD_UP", 1,
     [](INSTRUMENT_GUI& p) -> double { return p.volume; }, 0x1.f5c29p-2, 131},
    {knob_panel::generic, "SLD_2_BASE", "SLD_DOWN", 1,
     [](INSTRUMENT_GUI& p) -> double { return p.hicut; }, 11.0, 153},
    {knob_panel::generic, "SLD_3_BASE", "SLD_DOWN", 1,
     [](INSTRUMENT_GUI& p) -> double { return p.filter_level; }, 3400, 23},
    {knob_panel::generic, "SLD_3_BASE", "SLD_UP", 2,
     [](INSTRUMENT_GUI& p) -> double { return p.filter_level; }, 3700, 29},
    {knob_panel::generic, "SLD_4_BASE", "SLD_DOWN", 1,
     [](INSTRUMENT_GUI& p) -> double { return p.envelope_level; }, 0x1.19999ap+0, 351},
    {knob_panel::generic, "SLD_5_BASE", "SLD_UP", 1,
     [](INSTRUMENT_GUI& p) -> double { return p.distortion_level; }, 0x1.ccccccp-1, 278},
    {knob_panel::generic, "SLD_6_BASE", "SLD_DOWN", 1,
     [](INSTRUMENT_GUI& p) -> double { return p.p1; }, 0x1.19999ap+0, 10},
    {knob_panel::generic, "SLD_7_BASE", "SLD_DOWN", 1,
     [](INSTRUMENT_GUI& p) -> double { return p.p2; }, 0x1.19999ap+0, -39},
    {knob_panel::generic, "SLD_NOISE_1", "SLD_DOWN", 1,
     [](INSTRUMENT_GUI& p) -> double { return p.noise_setting_1; }, 0x1.028f5cp+0, 318},
    {knob_panel::generic, "SLD_NOISE_2", "SLD_UP", 1,
     [](INSTRUMENT_GUI& p) -> double { return p.noise_setting_2; }, 9990, 9990},
    {knob_panel::generic, "SLD_NOISE_3", "SLD_DOWN", 1,
     [](INSTRUMENT_GUI& p) -> double { return p.noise_setting_3; }, 10010, 10010},
    {knob_panel::generic, "SLD_LFO_ENVELOPPE_1", "SLD_DOWN", 1,
     [](INSTRUMENT_GUI& p) -> double { return p.envelope_lfo->amplitude; }, 0x1.028f5cp+0, 318},
    {knob_panel::generic, "SLD_LFO_ENVELOPPE_2", "SLD_UP", 1,
     [](INSTRUMENT_GUI& p) -> double { return p.envelope_lfo->period; }, 0x1.ffd70ap+4, 11471},
    {knob_panel::generic, "SLD_LFO_ENVELOPPE_3", "SLD_DOWN", 1,
     [](INSTRUMENT_GUI& p) -> double { return p.envelope_lfo->third_setting; }, 510, 510},
    {knob_panel::generic, "SLD_LFO_FILTER_1", "SLD_UP", 1,
     [](INSTRUMENT_GUI& p) -> double { return p.filter_lfo->amplitude; }, 0x1.fae148p-1, 311},
    {knob_panel::generic, "SLD_LFO_FILTER_2", "SLD_DOWN", 1,
     [](INSTRUMENT_GUI& p) -> double { return p.filter_lfo->period; }, 0x1.00147ap+5, 11478},
    {knob_panel::generic, "SLD_LFO_FILTER_3", "SLD_UP", 1,
     [](INSTRUMENT_GUI& p) -> double { return p.filter_lfo->third_setting; }, 490, 490},
    {knob_panel::tb303, "SLD_PARAM1", "SLD_UP", 10,
     [](INSTRUMENT_GUI& p) -> double { return bass(p).wave_divisor; }, 0x1.199998p+0, 109},
    {knob_panel::tb303, "SLD_PARAM2", "SLD_DOWN", 1,
     [](INSTRUMENT_GUI& p) -> double { return bass(p).wave_offset; }, 0x1.fae148p-1, 99},
    {knob_panel::tb303, "SLD_3_NOTE", "SLD_DOWN", 1,
     [](INSTRUMENT_GUI& p) -> double { return bass(p).pattern_memory[2][3]; }, 0x1.01a3d8p+6, 64},
    {knob_panel::tb303, "SLD_12_NOTE", "SLD_UP", 1,
     [](INSTRUMENT_GUI& p) -> double { return bass(p).pattern_memory[2][12]; }, 101.5, 101},
    {knob_panel::tb808, "SLD_PARAM1", "SLD_DOWN", 2,
     [](INSTRUMENT_GUI& p) -> double { return drums(p).pitch_depth; }, 1700, 17},
    {knob_panel::tb808, "SLD_PARAM2", "SLD_UP", 1,
     [](INSTRUMENT_GUI& p) -> double { return drums(p).pitch_decay; }, 0x1.ff8a08p-1, 999},
    {knob_panel::tb808, "SLD_PARAM3", "SLD_UP", 1,
     [](INSTRUMENT_GUI& p) -> double { return drums(p).drum_level; }, 7, 7},
    {knob_panel::tb808, "SLD_PARAM4", "SLD_DOWN", 1,
     [](INSTRUMENT_GUI& p) -> double { return drums(p).phase_factor; }, 0x1.19999ap+0, 11},
    {knob_panel::osc, "SLD_3_NOTE", "SLD_UP", 1,
     [](INSTRUMENT_GUI& p) -> double { return oscillators(p).step_frequencies[3]; }, 0x1.09a3d8p+6,
     66},
    {knob_panel::osc, "SLD_OSC1_FACTOR", "SLD_DOWN", 1,
     [](INSTRUMENT_GUI& p) -> double { return oscillators(p).osc1_factor; }, 0x1.028f5cp+0, 3},
    {knob_panel::osc, "SLD_OSC2_FACTOR", "SLD_UP", 1,
     [](INSTRUMENT_GUI& p) -> double { return oscillators(p).osc2_factor; }, 0x1.fae148p-1, 2},
    {knob_panel::osc, "SLD_OSC3_FACTOR", "SLD_UP", 20,
     [](INSTRUMENT_GUI& p) -> double { return oscillators(p).osc3_factor; }, -0x1.5p-23, 0},
    {knob_panel::osc, "SLD_OSC1_OFFSET", "SLD_DOWN", 10,
     [](INSTRUMENT_GUI& p) -> double { return oscillators(p).osc1_offset; }, 0x1.333332p-3, 29},
    {knob_panel::osc, "SLD_OSC2_OFFSET", "SLD_DOWN", 1,
     [](INSTRUMENT_GUI& p) -> double { return oscillators(p).osc2_offset; }, 0x1.ae147cp-4, 21},
    {knob_panel::osc, "SLD_OSC3_OFFSET", "SLD_UP", 1,
     [](INSTRUMENT_GUI& p) -> double { return oscillators(p).osc3_offset; }, 0x1.851eb8p-4, 18},
};

// The step notes start from known frequencies in pattern 2 (bass line) and
// the oscillators' row.
void set_start_notes(knob_panel kind, INSTRUMENT_GUI& panel) {
  if (kind == knob_panel::tb303) {
    panel.current_pattern = 2;
    bass(panel).pattern_memory[2][3] = 65.41f;
    bass(panel).pattern_memory[2][12] = 100.5f;
  }
  if (kind == knob_panel::osc) oscillators(panel).step_frequencies[3] = 65.41f;
}

TEST(PanelEvents, KnobTableStepsValuesAndTurnsKnobsExactly) {
  for (const knob_case& c : knob_cases) {
    SCOPED_TRACE(std::string(c.widget) + " " + c.action + " x" + std::to_string(c.records));
    auto panel = make_panel(c.panel);
    set_start_notes(c.panel, *panel);
    SPRITE& widget = add_widget(*panel, c.widget);
    widget.angle = 12345;
    act(*panel, widget, "TOUCH_IN");  // the pointer over a knob turns nothing
    EXPECT_EQ(widget.angle, 12345);
    act(*panel, widget, c.action, c.records);
    EXPECT_EQ(c.field(*panel), c.value);
    EXPECT_EQ(widget.angle, c.angle);
    EXPECT_TRUE(panel->event_queue.empty());
  }

  // Every knob of the table (a note knob at one step at least) is stepped by
  // some case.
  for (const knob& k : knob_table()) {
    if (k.down == nullptr) continue;
    bool covered = false;
    for (int32_t step = 0; step < std::max(k.count, 1); ++step) {
      char key[64];
      std::snprintf(key, sizeof key, k.key, step);
      for (const knob_case& c : knob_cases)
        covered |= c.panel == k.panel && key == std::string(c.widget);
    }
    EXPECT_TRUE(covered) << k.key;
  }
}

TEST(PanelEvents, NoteKnobsOutsideThePatternMemoryChangeNothing) {
  auto panel = make_panel(knob_panel::tb303);
  SPRITE& note = add_widget(*panel, "SLD_3_NOTE");
  panel->current_pattern = 300;  // from a pattern file
  act(*panel, note, "SLD_DOWN");
  EXPECT_EQ(note.angle, 0);
  SPRITE& odd = add_widget(*panel, "SLD_-1_NOTE");
  panel->current_pattern = 0;
  const float before = bass(*panel).pattern_memory[0][0];
  act(*panel, odd, "SLD_UP");
  EXPECT_EQ(bass(*panel).pattern_memory[0][0], before);
}

// ---- Drum steps -----------------------------------------------------------------

TEST(PanelEvents, DrumStepButtonsSwitchStepsOfThePlayingPattern) {
  auto panel = make_panel(knob_panel::tb808);
  TB808_GUI& drum = drums(*panel);
  SPRITE& step_5 = add_widget(*panel, "BUTTON_TOGGLE_SEQ_5");
  SPRITE& no_digit = add_widget(*panel, "BUTTON_TOGGLE_SEQ_X");
  SPRITE& power = add_widget(*panel, "BUTTON_TOGGLE_POWER");
  panel->current_pattern = 3;
  drum.pattern_memory[3][5] = 0;
  drum.pattern_memory[3][0] = 1;

  release(*panel, step_5);
  EXPECT_EQ(drum.pattern_memory[3][5], 1);
  EXPECT_STREQ(step_5.name, "CHK_1_ON");
  release(*panel, step_5);
  EXPECT_EQ(drum.pattern_memory[3][5], 0);
  EXPECT_STREQ(step_5.name, "CHK_1_OFF");

  release(*panel, no_digit);  // no digit after "SEQ_": step 0
  EXPECT_EQ(drum.pattern_memory[3][0], 0);

  release(*panel, power);  // turned off: the record reaches the drum pass
  EXPECT_EQ(drum.power_switch, 0);
  EXPECT_EQ(drum.pattern_memory[3][5], 0);
  EXPECT_EQ(drum.pattern_memory[3][0], 0);

  queue_button(*panel, step_5, RAW_MOUSE_BUTTON_DOWN);
  panel->process_events();
  EXPECT_EQ(drum.pattern_memory[3][5], 0);

  panel->current_pattern = 255;  // outside the memory: nothing to switch
  release(*panel, step_5);
  EXPECT_STREQ(step_5.name, "CHK_1_OFF");
  EXPECT_TRUE(panel->event_queue.empty());
}

// ---- Waveforms and oscillator switches --------------------------------------------

TEST(PanelEvents, BassWaveformCyclesFromTheButtonOrTheDisplay) {
  auto panel = make_panel(knob_panel::tb303);
  SPRITE& button = add_widget(*panel, "BUTTON_TOGGLE_OSC_TYPE");
  SPRITE& display = add_widget(*panel, "DISP_WAVE", "DISP_SIN");
  bass(*panel).wave_kind = 1;
  queue_button(*panel, button, RAW_MOUSE_BUTTON_DOWN);
  panel->process_events();
  EXPECT_EQ(bass(*panel).wave_kind, 1);
  for (const char* picture : {"DISP_SAW", "DISP_TRI", "DISP_SQR", "DISP_SIN"}) {
    release(*panel, button);
    EXPECT_STREQ(display.name, picture);
  }
  EXPECT_EQ(bass(*panel).wave_kind, 1);
  release(*panel, display);
  EXPECT_EQ(bass(*panel).wave_kind, 2);
  EXPECT_STREQ(display.name, "DISP_SAW");

  bass(*panel).wave_kind = -1;  // from a pattern file: no picture for kind 0
  release(*panel, button);
  EXPECT_EQ(bass(*panel).wave_kind, 0);
  EXPECT_STREQ(display.name, "DISP_SAW");
}

TEST(PanelEvents, OscillatorWaveformsCycleAndSwitchesToggle) {
  auto panel = make_panel(knob_panel::osc);
  OSC_GUI& osc = oscillators(*panel);
  SPRITE& wave_2 = add_widget(*panel, "BUTTON_TOGGLE_OSC_2_TYPE", "W");
  for (int32_t expected : {3, 1, 2}) {
    release(*panel, wave_2);
    EXPECT_EQ(osc.osc2_wave, expected);
  }
  EXPECT_EQ(osc.osc1_wave, 1);
  EXPECT_EQ(osc.osc3_wave, 3);
  EXPECT_STREQ(wave_2.name, "W");

  SPRITE& switch_3 = add_widget(*panel, "BUTTON_TOGGLE_OSC3");
  osc.osc3_on = 0;
  release(*panel, switch_3);
  EXPECT_EQ(osc.osc3_on, 1);
  EXPECT_STREQ(switch_3.name, "CHK_2_ON");
  release(*panel, switch_3);
  EXPECT_EQ(osc.osc3_on, 0);
  EXPECT_STREQ(switch_3.name, "CHK_2_OFF");
  EXPECT_EQ(osc.osc1_on, 1);
  EXPECT_EQ(osc.osc3_wave, 3);

  queue_button(*panel, switch_3, RAW_MOUSE_BUTTON_DOWN);
  panel->process_events();
  EXPECT_EQ(osc.osc3_on, 0);
  EXPECT_TRUE(panel->event_queue.empty());
}

// ---- Exits -------------------------------------------------------------------

TEST(PanelEventsDeathTest, AnLfoKnobOfNeitherLfoEndsTheProgram) {
  auto panel = make_panel(knob_panel::osc);
  SPRITE& lfo = add_widget(*panel, "SLD_LFO_OTHER_1");
  EXPECT_EXIT(
      {
        dup2(2, 1);  // the console message, seen by the death test
        act(*panel, lfo, "TOUCH_IN");
      },
      ::testing::ExitedWithCode(255), "LFO KIST \n");
}

}  // namespace
