// MIDI control on the real panels in a real window: messages pushed into a
// registered input ring as a MIDI thread would, Ctrl+clicks sent as SDL
// events. Learning marks the knob on screen and binds the next controller,
// which then moves the knob; switches turn on from 64; a Program Change
// queues a pattern and lights its button; the bindings outlive a restart.
#include <GL/gl.h>
#include <stdlib.h>

#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "input_state.h"
#include "midi_control.h"
#include "midi_inputs.h"
#include "poll_input.h"
#include "redraw.h"
#include "test_rack.h"
#include "widget_marks.h"

namespace {
using rack_test::panel_top;

// The bass line at index 0 is instrument 1, panel 2 from the top.
constexpr int bass = 0;
constexpr int bass_channel = 2;

midi_ring ring;

SPRITE* item(int panel, const char* name) {
  for (SPRITE* sprite : instrument_panels[panel]->items)
    if (std::strncmp(sprite->control_name, name, std::strlen(name)) == 0) return sprite;
  return nullptr;
}

// Pixels of the window in the mark's amber.
int amber_pixels(const zem_test::temp_folder& folder) {
  glFinish();
  SDL_Delay(100);
  const std::string file = folder.file("window.rgb");
  const std::string command = "import -window root -crop 800x625+0+0 -depth 8 rgb:" + file;
  EXPECT_EQ(std::system(command.c_str()), 0);
  const std::string rgb = zem_test::read_file(file);
  int count = 0;
  for (std::size_t i = 0; i + 2 < rgb.size(); i += 3)
    count += rgb.compare(i, 3, "\xff\xa0\x00", 3) == 0 ? 1 : 0;
  return count;
}

class MidiControl : public rack_test::RackTest {
 protected:
  void SetUp() override {
    ASSERT_NE(instrument_panels[0], nullptr);
    setenv("XDG_CONFIG_HOME", folder_->file("config").c_str(), 1);
    register_midi_input(ring);
    restore_midi_bindings("");
    input = input_state{};
  }
  void TearDown() override {
    unregister_midi_input(ring);
    SDL_SetModState(KMOD_NONE);
  }

  static void send(SDL_Event event) {
    while (poll_input() != 0) {
    }
    ASSERT_EQ(SDL_PushEvent(&event), 0);
    ASSERT_EQ(poll_input(), 1);
  }
  static void ctrl_click(Uint8 button, int x, int y) {
    SDL_SetModState(KMOD_LCTRL);
    SDL_Event event{};
    event.type = SDL_MOUSEBUTTONDOWN;
    event.button.button = button;
    event.button.x = static_cast<Uint16>(x);
    event.button.y = static_cast<Uint16>(y);
    send(event);
    event.type = SDL_MOUSEBUTTONUP;
    send(event);
    SDL_SetModState(KMOD_NONE);
  }
  // One message through the ring, handled and drawn as the main loop would.
  static void midi(uint8_t status, uint8_t first, uint8_t second = 0) {
    const uint8_t size = (status & 0xF0) == 0xC0 ? 2 : 3;
    ASSERT_TRUE(ring.push({0, size, {status, first, second}}));
    dirty_list.clear();
    EXPECT_EQ(handle_midi_input(), 1);
    redraw_rack(input.full_frame_wanted);
    input.full_frame_wanted = false;
  }
  static std::string bindings_file() {
    return zem_test::read_file(folder_->file("config/zem/midi-bindings.txt"));
  }
};

TEST_F(MidiControl, LearningMarksTheKnobAndTheNextControllerMovesIt) {
  SPRITE* dial = item(bass, "SLD_1_BASE");
  const knob& volume = *find_knob(knob_panel::generic, "SLD_1_BASE");
  redraw_rack(true);
  const int unmarked = amber_pixels(*folder_);

  ctrl_click(SDL_BUTTON_LEFT, rack_test::knob_x, panel_top[bass] + rack_test::knob_y);
  EXPECT_EQ(marked_widget(), dial);
  EXPECT_TRUE(instrument_panels[bass]->event_queue.empty());  // no drag began
  redraw_rack(true);
  EXPECT_GT(amber_pixels(*folder_), unmarked + 100);

  midi(0xB0, 74, 127);  // channel 1, controller 74: learnt, and the knob follows
  EXPECT_EQ(marked_widget(), nullptr);
  EXPECT_EQ(amber_pixels(*folder_), unmarked);
  EXPECT_EQ(instrument_panels[bass]->volume, 1.0f);
  EXPECT_EQ(dial->angle, knob_angle(volume, 1.0));
  EXPECT_NE(bindings_file().find("\nchannel 1 cc 74 -> panel 2 SLD_1_BASE\n"), std::string::npos);
  midi(0xB0, 74, 0);
  EXPECT_EQ(instrument_panels[bass]->volume, 0.0f);
  EXPECT_EQ(dial->angle, knob_angle(volume, 0.0));
  midi(0xB1, 74, 127);  // another channel moves nothing
  EXPECT_EQ(instrument_panels[bass]->volume, 0.0f);

  // A restart reads the bindings back from the file.
  restore_midi_bindings("");
  start_midi_control();
  EXPECT_EQ(midi_bindings_text(), "channel 1 cc 74 -> panel 2 SLD_1_BASE\n");

  // Ctrl+right-click forgets the binding and moves nothing.
  const float x = dial->x;
  ctrl_click(SDL_BUTTON_RIGHT, rack_test::knob_x, panel_top[bass] + rack_test::knob_y);
  EXPECT_EQ(dial->x, x);
  EXPECT_EQ(midi_bindings_text(), "");
  EXPECT_EQ(bindings_file().find("channel 1"), std::string::npos);
  midi(0xB0, 74, 127);
  EXPECT_EQ(instrument_panels[bass]->volume, 0.0f);
}

TEST_F(MidiControl, ABoundSwitchIsOnFrom64) {
  const int drums = 4;  // panel 5, at the bottom
  SPRITE* power = item(drums, "BUTTON_TOGGLE_POWER");
  ctrl_click(SDL_BUTTON_LEFT, 500, panel_top[drums] + rack_test::button_y);
  midi(0xB9, 20, 63);
  EXPECT_EQ(midi_bindings_text(), "channel 10 cc 20 -> panel 5 BUTTON_TOGGLE_POWER\n");
  for (uint8_t value : {63, 64, 127, 0, 64}) {
    midi(0xB9, 20, value);
    EXPECT_EQ(instrument_panels[drums]->power_switch, value >= 64 ? 1 : 0) << int{value};
    EXPECT_STREQ(power->name, value >= 64 ? "CHK_2_ON" : "CHK_2_OFF");
  }
}

TEST_F(MidiControl, ProgramChangeQueuesThePatternAndItsButtonLightsWhenItPlays) {
  INSTRUMENT_GUI& panel = *instrument_panels[bass];
  panel.current_pattern = 0;
  for (uint8_t ignored_program : {8, 127}) {
    midi(0xC0 | (bass_channel - 1), ignored_program);
    EXPECT_EQ(panel.queued_pattern, 0);
  }
  midi(0xC5, 1);  // channel 6: no panel
  EXPECT_EQ(panel.queued_pattern, 0);

  midi(0xC0 | (bass_channel - 1), 1);
  EXPECT_EQ(panel.queued_pattern, 1);
  std::vector<int16_t> sound(2 * 6000);
  panel.render(nullptr, sound.data(), static_cast<int>(sound.size() * 2), nullptr);
  EXPECT_EQ(panel.current_pattern, 1);
  mark_dirty(bass);
  redraw_rack(false);
  EXPECT_STREQ(item(bass, "BUTTON_PATTERN_2")->name, "BUTTON_PATTERN_ON");
  EXPECT_STREQ(item(bass, "BUTTON_PATTERN_1")->name, "BUTTON_PATTERN_OFF");
}

}  // namespace
