// The panels' event passes, record by record: pattern queueing, switches,
// the knob table with its exact values and angles, drum steps, waveforms and
// oscillator switches, and what the generic pass leaves for the engine panels.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "panel_test_support.h"
#include "temp_folder.h"

namespace {

using namespace panel_test;
using P = INSTRUMENT_GUI;
using enum knob_panel;

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
      {5, "BUTTON_PATTERN_1", queued_pattern_zero},  // pattern 0, which a queued 0 is not
      {5, "BUTTON_PATTERN_11", queued_pattern_zero},
      {-3, "BUTTON_PATTERN_2", 1},             // -3 / 8 is 0: the first bank
      {INT_MAX, "BUTTON_PATTERN_8", INT_MAX},  // stops at the top of the range
  };
  for (const row& r : rows) {
    SCOPED_TRACE(std::string(r.button) + " playing " + std::to_string(r.playing));
    auto panel = make_panel(tb303);
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
    auto panel = make_panel(tb808);
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
  // A toggle button that is no switch is left to the engine panel.
  auto panel = make_panel(tb303);
  SPRITE& wave = add_widget(*panel, "BUTTON_TOGGLE_OSC_TYPE", "START");
  queue_button(*panel, wave, RAW_MOUSE_BUTTON_UP);
  panel->INSTRUMENT_GUI::process_events();
  EXPECT_STREQ(wave.name, "START");
  EXPECT_EQ(panel->event_queue.size(), 1u);
}

// ---- What the generic pass consumes --------------------------------------------

TEST(PanelEvents, GenericPassConsumesVoiceChainStepsAndKeepsTheRestInOrder) {
  auto panel = make_panel(tb303);
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
  std::vector<std::pair<SPRITE*, std::string>> kept;
  for (auto it = panel->event_queue.rbegin(); it != panel->event_queue.rend(); ++it) {
    kept.emplace_back((*it)->target, (*it)->action);
  }
  EXPECT_EQ(kept, (std::vector<std::pair<SPRITE*, std::string>>{{&volume, "TOUCH_IN"},
                                                                {&noise, "SLD_DOWN"},
                                                                {&lfo, "SLD_UP"},
                                                                {&param, "SLD_DOWN"},
                                                                {&param, "TOUCH_OUT"}}));
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
  int records;   // that many "SLD_DOWN" records, or "SLD_UP" when negative
  double value;  // exact single-precision result
  int32_t angle;
  double (*field)(P&);  // the field the knob must change
};

// Expected values are the single-precision sums worked out apart from the
// code; several angles fall just below a whole number, where a product
// worked in single precision would round up.
// clang-format off
const knob_case knob_cases[] = {
    {generic, "SLD_1_BASE",          3,   0x1.0f5c28p-1,  145,   [](P& p) { return double(p.volume); }},
    {generic, "SLD_1_BASE",          -1,  0x1.f5c29p-2,   131,   [](P& p) { return double(p.volume); }},
    {generic, "SLD_2_BASE",          1,   11.0,           153,   [](P& p) { return double(p.hicut); }},
    {generic, "SLD_3_BASE",          1,   3400,           23,    [](P& p) { return double(p.filter_level); }},
    {generic, "SLD_3_BASE",          -2,  3700,           29,    [](P& p) { return double(p.filter_level); }},
    {generic, "SLD_4_BASE",          1,   0x1.19999ap+0,  351,   [](P& p) { return double(p.envelope_level); }},
    {generic, "SLD_5_BASE",          -1,  0x1.ccccccp-1,  278,   [](P& p) { return double(p.distortion_level); }},
    {generic, "SLD_6_BASE",          1,   0x1.19999ap+0,  10,    [](P& p) { return double(p.p1); }},
    {generic, "SLD_7_BASE",          1,   0x1.19999ap+0,  -39,   [](P& p) { return double(p.p2); }},
    {generic, "SLD_NOISE_1",         1,   0x1.028f5cp+0,  318,   [](P& p) { return double(p.noise_setting_1); }},
    {generic, "SLD_NOISE_2",         -1,  9990,           9990,  [](P& p) { return double(p.noise_setting_2); }},
    {generic, "SLD_NOISE_3",         1,   10010,          10010, [](P& p) { return double(p.noise_setting_3); }},
    {generic, "SLD_LFO_ENVELOPPE_1", 1,   0x1.028f5cp+0,  318,   [](P& p) { return double(p.envelope_lfo->amplitude); }},
    {generic, "SLD_LFO_ENVELOPPE_2", -1,  0x1.ffd70ap+4,  11471, [](P& p) { return double(p.envelope_lfo->period); }},
    {generic, "SLD_LFO_ENVELOPPE_3", 1,   510,            510,   [](P& p) { return double(p.envelope_lfo->third_setting); }},
    {generic, "SLD_LFO_FILTER_1",    -1,  0x1.fae148p-1,  311,   [](P& p) { return double(p.filter_lfo->amplitude); }},
    {generic, "SLD_LFO_FILTER_2",    1,   0x1.00147ap+5,  11478, [](P& p) { return double(p.filter_lfo->period); }},
    {generic, "SLD_LFO_FILTER_3",    -1,  490,            490,   [](P& p) { return double(p.filter_lfo->third_setting); }},
    {tb303,   "SLD_PARAM1",          -10, 0x1.199998p+0,  109,   [](P& p) { return double(bass(p).wave_divisor); }},
    {tb303,   "SLD_PARAM2",          1,   0x1.fae148p-1,  99,    [](P& p) { return double(bass(p).wave_offset); }},
    {tb303,   "SLD_3_NOTE",          1,   0x1.01a3d8p+6,  64,    [](P& p) { return double(bass(p).pattern_memory[2][3]); }},
    {tb303,   "SLD_12_NOTE",         -1,  101.5,          101,   [](P& p) { return double(bass(p).pattern_memory[2][12]); }},
    {tb808,   "SLD_PARAM1",          2,   1700,           17,    [](P& p) { return double(drums(p).pitch_depth); }},
    {tb808,   "SLD_PARAM2",          -1,  0x1.ff8a08p-1,  999,   [](P& p) { return double(drums(p).pitch_decay); }},
    {tb808,   "SLD_PARAM3",          -1,  7,              7,     [](P& p) { return double(drums(p).drum_level); }},
    {tb808,   "SLD_PARAM4",          1,   0x1.19999ap+0,  11,    [](P& p) { return double(drums(p).phase_factor); }},
    {osc,     "SLD_3_NOTE",          -1,  0x1.09a3d8p+6,  66,    [](P& p) { return double(oscillators(p).step_frequencies[3]); }},
    {osc,     "SLD_OSC1_FACTOR",     1,   0x1.028f5cp+0,  3,     [](P& p) { return double(oscillators(p).osc1_factor); }},
    {osc,     "SLD_OSC2_FACTOR",     -1,  0x1.fae148p-1,  2,     [](P& p) { return double(oscillators(p).osc2_factor); }},
    {osc,     "SLD_OSC3_FACTOR",     -20, -0x1.5p-23,     0,     [](P& p) { return double(oscillators(p).osc3_factor); }},
    {osc,     "SLD_OSC1_OFFSET",     10,  0x1.333332p-3,  29,    [](P& p) { return double(oscillators(p).osc1_offset); }},
    {osc,     "SLD_OSC2_OFFSET",     1,   0x1.ae147cp-4,  21,    [](P& p) { return double(oscillators(p).osc2_offset); }},
    {osc,     "SLD_OSC3_OFFSET",     -1,  0x1.851eb8p-4,  18,    [](P& p) { return double(oscillators(p).osc3_offset); }},
};
// clang-format on

// The step notes start from known frequencies in pattern 2 (bass line) and
// the oscillators' row.
void set_start_notes(knob_panel kind, INSTRUMENT_GUI& panel) {
  if (kind == tb303) {
    panel.current_pattern = 2;
    bass(panel).pattern_memory[2][3] = 65.41f;
    bass(panel).pattern_memory[2][12] = 100.5f;
  }
  if (kind == osc) oscillators(panel).step_frequencies[3] = 65.41f;
}

TEST(PanelEvents, KnobTableStepsValuesAndTurnsKnobsExactly) {
  for (const knob_case& c : knob_cases) {
    SCOPED_TRACE(std::string(c.widget) + " x" + std::to_string(c.records));
    auto panel = make_panel(c.panel);
    set_start_notes(c.panel, *panel);
    SPRITE& widget = add_widget(*panel, c.widget);
    widget.angle = 12345;
    act(*panel, widget, "TOUCH_IN");  // the pointer over a knob turns nothing
    EXPECT_EQ(widget.angle, 12345);
    act(*panel, widget, c.records > 0 ? "SLD_DOWN" : "SLD_UP", std::abs(c.records));
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
  auto panel = make_panel(tb303);
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
  auto panel = make_panel(tb808);
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
  auto panel = make_panel(tb303);
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
  auto panel = make_panel(osc);
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

// ---- Disk buttons --------------------------------------------------------------

// Standard input reads `text` while this lives.
class console_input {
 public:
  console_input(const zem_test::temp_folder& folder, const std::string& text) {
    std::ofstream(folder.file("typed")) << text;
    std::fflush(stdin);
    const int typed = open(folder.file("typed").c_str(), O_RDONLY);
    dup2(typed, 0);
    close(typed);
    std::clearerr(stdin);
  }
  ~console_input() {
    dup2(saved_, 0);
    close(saved_);
    std::clearerr(stdin);
  }

 private:
  int saved_ = dup(0);
};

TEST(PanelEvents, DiskButtonsSaveAndLoadTheInstrumentOnEveryPanel) {
  for (knob_panel kind : {tb303, tb808, osc}) {
    SCOPED_TRACE(static_cast<int>(kind));
    auto panel = make_panel(kind);
    SPRITE& save = add_widget(*panel, "BUTTON_DISK_SAVE");
    SPRITE& load = add_widget(*panel, "BUTTON_DISK_LOAD");
    const zem_test::temp_folder folder(true);
    panel->volume = 0.25f;
    {
      // Only the release acts: a press that asked for a name would take the
      // one typed for the save.
      const console_input typed(folder, "song.sta\n");
      queue_button(*panel, load, RAW_MOUSE_BUTTON_DOWN);
      release(*panel, save);
    }
    EXPECT_TRUE(std::filesystem::exists("song.sta"));
    panel->volume = 0.75f;
    {
      const console_input typed(folder, "song.sta\n");
      release(*panel, load);
    }
    EXPECT_EQ(panel->volume, 0.25f);
    EXPECT_TRUE(panel->event_queue.empty());
  }
}

// ---- Exits -------------------------------------------------------------------

TEST(PanelEventsDeathTest, AnLfoKnobOfNeitherLfoEndsTheProgram) {
  auto panel = make_panel(osc);
  SPRITE& lfo = add_widget(*panel, "SLD_LFO_OTHER_1");
  EXPECT_EXIT(
      {
        dup2(2, 1);  // the console message, seen by the death test
        act(*panel, lfo, "TOUCH_IN");
      },
      ::testing::ExitedWithCode(255), "LFO KIST \n");
}

}  // namespace
