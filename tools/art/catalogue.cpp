#include "catalogue.h"

#include <cctype>

#include "artwork.h"

namespace zem::art {

namespace {

// Stripe colours of the three panel kinds.
constexpr rgb_colour BASS_AMBER{0.96f, 0.58f, 0.12f};
constexpr rgb_colour DRUM_RED{0.86f, 0.20f, 0.13f};
constexpr rgb_colour OSC_BLUE{0.18f, 0.56f, 0.92f};

constexpr rgb_colour LED_RED{1.0f, 0.16f, 0.08f};
constexpr rgb_colour LED_RED_DARK{0.24f, 0.035f, 0.03f};
constexpr rgb_colour LED_GREEN{0.22f, 1.0f, 0.28f};
constexpr rgb_colour LED_GREEN_DARK{0.03f, 0.17f, 0.05f};

std::vector<texture_art> build() {
  using role = texture_role;
  auto led = [](rgb_colour lit, rgb_colour dark, bool on) {
    return [=](rgb_image& i) { draw_led(i, lit, dark, on); };
  };
  auto background = [](rgb_colour stripe, uint32_t seed) {
    return [=](rgb_image& i) { draw_background(i, stripe, seed); };
  };
  auto display = [](waveform w) { return [=](rgb_image& i) { draw_display(i, w); }; };
  auto key = [](key_glyph g) { return [=](rgb_image& i) { draw_key(i, g); }; };
  auto pattern = [](bool on) { return [=](rgb_image& i) { draw_pattern_button(i, on); }; };
  return {
      {"NONE", 32, 32, role::neutral, "", draw_neutral},
      {"BACK_TB303", 1024, 128, role::background, "", background(BASS_AMBER, 303)},
      {"BACK_TB808", 1024, 128, role::background, "", background(DRUM_RED, 808)},
      {"BACK_OSC", 1024, 128, role::background, "", background(OSC_BLUE, 3)},
      {"BACK_LABEL", 8, 8, role::label, "", draw_neutral},
      {"KNOB", 32, 32, role::widget, "MASK_KNOB", draw_knob},
      {"MASK_KNOB", 32, 32, role::mask, "", draw_knob_mask},
      {"SLIDER", 32, 32, role::widget, "MASK_SLIDER", draw_slider},
      {"MASK_SLIDER", 32, 32, role::mask, "", draw_slider_mask},
      // The same for the rows of step knobs shown at 24 x 24: enlarged, a
      // picture stays smooth, where the larger one shrunk shows a dotted rim.
      {"SLIDER_SMALL", 16, 16, role::widget, "MASK_SLIDER_SMALL", draw_small_slider},
      {"MASK_SLIDER_SMALL", 16, 16, role::mask, "", draw_small_slider_mask},
      {"CHK_1_ON", 16, 16, role::widget, "MASK_LED", led(LED_RED, LED_RED_DARK, true)},
      {"CHK_1_OFF", 16, 16, role::widget, "MASK_LED", led(LED_RED, LED_RED_DARK, false)},
      {"CHK_2_ON", 16, 16, role::widget, "MASK_LED", led(LED_GREEN, LED_GREEN_DARK, true)},
      {"CHK_2_OFF", 16, 16, role::widget, "MASK_LED", led(LED_GREEN, LED_GREEN_DARK, false)},
      {"MASK_LED", 16, 16, role::mask, "", draw_led_mask},
      {"BUTTON_PATTERN_ON", 32, 16, role::widget, "MASK_PATTERN", pattern(true)},
      {"BUTTON_PATTERN_OFF", 32, 16, role::widget, "MASK_PATTERN", pattern(false)},
      {"MASK_PATTERN", 32, 16, role::mask, "", draw_pattern_mask},
      {"DISP_SIN", 64, 32, role::widget, "", display(waveform::sine)},
      {"DISP_SAW", 64, 32, role::widget, "", display(waveform::saw)},
      {"DISP_TRI", 64, 32, role::widget, "", display(waveform::triangle)},
      {"DISP_SQR", 64, 32, role::widget, "", display(waveform::square)},
      {"KEY_WAVE", 32, 32, role::widget, "MASK_KEY", key(key_glyph::wave)},
      {"KEY_LOAD", 32, 32, role::widget, "MASK_KEY", key(key_glyph::load)},
      {"KEY_SAVE", 32, 32, role::widget, "MASK_KEY", key(key_glyph::save)},
      {"MASK_KEY", 32, 32, role::mask, "", draw_key_mask},
  };
}

}  // namespace

const std::vector<texture_art>& catalogue() {
  static const std::vector<texture_art> all = build();
  return all;
}

std::string mask_of(const std::string& texture) {
  for (const texture_art& art : catalogue()) {
    if (art.name == texture) return art.mask;
  }
  return "";
}

std::string image_path(const texture_art& art) {
  std::string file = "textures/";
  for (char c : art.name) file += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return file + ".bmp";
}

}  // namespace zem::art
