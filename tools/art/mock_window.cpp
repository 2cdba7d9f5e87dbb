#include "mock_window.h"

namespace zem::art {

namespace {

class mock_panel {
 public:
  mock_panel(const widget_placer& place, float top) : place_(place), top_(top) {}
  void put(const std::string& texture, float x, float y, float w, float h, float angle = 0) const {
    place_(texture, x, top_ + y, w, h, angle);
  }

 private:
  const widget_placer& place_;
  float top_;
};

// Widgets at the sizes their textures are stored at (a layout width and
// height of half the stored size): drawn any smaller, textures are
// point-sampled and outlines turn jagged.
constexpr float KNOB = 16, LIGHT = 8, KEY = 16;

// Pattern buttons 1 to 8 and bank buttons 11 to 14 along the bottom strip.
void pattern_buttons(const mock_panel& p, int pattern) {
  for (int k = 0; k < 8; ++k) {
    p.put(k == pattern % 8 ? "BUTTON_PATTERN_ON" : "BUTTON_PATTERN_OFF", 374 + 35.0f * k, 103, 16,
          8);
  }
  for (int k = 0; k < 4; ++k) {
    p.put(k == pattern / 8 ? "BUTTON_PATTERN_ON" : "BUTTON_PATTERN_OFF", 660 + 35.0f * k, 103, 16,
          8);
  }
}

// Step lights: every light but the running step's shows CHK_1_ON.
void step_lights(const mock_panel& p, int lights, int current) {
  for (int k = 0; k < lights; ++k) {
    p.put(k == current ? "CHK_1_OFF" : "CHK_1_ON", 58 + 19.0f * k, 103, LIGHT, LIGHT);
  }
}

void switches(const mock_panel& p, float x, float y, int count) {
  for (int k = 0; k < count; ++k) {
    p.put(k % 3 == 1 ? "CHK_2_OFF" : "CHK_2_ON", x + 24.0f * k, y, LIGHT, LIGHT);
  }
}

void drum_panel(const mock_panel& p) {
  p.put("BACK_TB808", 400, 62.5f, 400, 62.5f);
  for (int k = 0; k < 11; ++k) p.put("KNOB", 62 + 42.0f * k, 31, KNOB, KNOB, -45 + 33.0f * k);
  for (int k = 0; k < 9; ++k) p.put("KNOB", 62 + 42.0f * k, 67, KNOB, KNOB, 200 - 25.0f * k);
  switches(p, 560, 31, 7);
  // Drum step buttons, on where the pattern sounds.
  for (int k = 0; k < 8; ++k) {
    p.put(k % 3 == 0 ? "CHK_1_ON" : "CHK_1_OFF", 62 + 36.0f * k, 103, 10, 10);
  }
  pattern_buttons(p, 2);
}

void bass_panel(const mock_panel& p, const char* display, int step) {
  p.put("BACK_TB303", 400, 62.5f, 400, 62.5f);
  for (int k = 0; k < 12; ++k) p.put("KNOB", 62 + 40.0f * k, 31, KNOB, KNOB, -45 + 27.0f * k);
  p.put(display, 580, 31, 32, 16);
  p.put("KEY_WAVE", 650, 31, KEY, KEY);
  p.put("KEY_LOAD", 700, 31, KEY, KEY);
  p.put("KEY_SAVE", 740, 31, KEY, KEY);
  for (int k = 0; k < 16; ++k) p.put("SLIDER", 62 + 42.0f * k, 67, KNOB, KNOB, 40 + 13.0f * k);
  step_lights(p, 16, step);
  pattern_buttons(p, 11);
}

void osc_panel(const mock_panel& p) {
  p.put("BACK_OSC", 400, 62.5f, 400, 62.5f);
  for (int k = 0; k < 8; ++k) p.put("SLIDER", 62 + 40.0f * k, 31, KNOB, KNOB, 65 + 20.0f * k);
  for (int k = 0; k < 6; ++k) p.put("KNOB", 400 + 40.0f * k, 31, KNOB, KNOB, 10 + 50.0f * k);
  for (int k = 0; k < 7; ++k) p.put("KNOB", 62 + 40.0f * k, 67, KNOB, KNOB, -45 + 45.0f * k);
  for (int k = 0; k < 3; ++k) {
    p.put(k == 1 ? "CHK_2_OFF" : "CHK_2_ON", 370 + 64.0f * k, 67, LIGHT, LIGHT);
    p.put("KEY_WAVE", 396 + 64.0f * k, 67, 12, 12);
  }
  switches(p, 580, 67, 5);
  step_lights(p, 8, 5);
  pattern_buttons(p, 0);
}

}  // namespace

void lay_out_mock_window(const widget_placer& place) {
  drum_panel(mock_panel(place, 0));
  bass_panel(mock_panel(place, 125), "DISP_SIN", 4);
  osc_panel(mock_panel(place, 250));
  bass_panel(mock_panel(place, 375), "DISP_SQR", 0);
  drum_panel(mock_panel(place, 500));
}

}  // namespace zem::art
