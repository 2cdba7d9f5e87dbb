#include "catalogue.h"

#include <cctype>

#include "artwork.h"

namespace zem::art {

namespace {

// Stripe colours of the three panel kinds.
constexpr Colour BASS_AMBER{0.96f, 0.58f, 0.12f};
constexpr Colour DRUM_RED{0.86f, 0.20f, 0.13f};
constexpr Colour OSC_BLUE{0.18f, 0.56f, 0.92f};

constexpr Colour LED_RED{1.0f, 0.16f, 0.08f};
constexpr Colour LED_RED_DARK{0.24f, 0.035f, 0.03f};
constexpr Colour LED_GREEN{0.22f, 1.0f, 0.28f};
constexpr Colour LED_GREEN_DARK{0.03f, 0.17f, 0.05f};

std::vector<TextureArt> build() {
  using R = Role;
  auto led = [](Colour lit, Colour dark, bool on) {
    return [=](Image& i) { draw_led(i, lit, dark, on); };
  };
  auto background = [](Colour stripe, uint32_t seed) {
    return [=](Image& i) { draw_background(i, stripe, seed); };
  };
  auto display = [](Waveform w) { return [=](Image& i) { draw_display(i, w); }; };
  auto key = [](KeyGlyph g) { return [=](Image& i) { draw_key(i, g); }; };
  auto pattern = [](bool on) { return [=](Image& i) { draw_pattern_button(i, on); }; };
  return {
      {"NONE", 32, 32, R::neutral, "", draw_neutral},
      {"BACK_TB303", 1024, 128, R::background, "", background(BASS_AMBER, 303)},
      {"BACK_TB808", 1024, 128, R::background, "", background(DRUM_RED, 808)},
      {"BACK_OSC", 1024, 128, R::background, "", background(OSC_BLUE, 3)},
      {"BACK_LABEL", 8, 8, R::label, "", draw_neutral},
      {"KNOB", 32, 32, R::widget, "MASK_KNOB", draw_knob},
      {"MASK_KNOB", 32, 32, R::mask, "", draw_knob_mask},
      {"SLIDER", 32, 32, R::widget, "MASK_SLIDER", draw_slider},
      {"MASK_SLIDER", 32, 32, R::mask, "", draw_slider_mask},
      // The same for the rows of step knobs shown at 24 x 24: enlarged, a
      // picture stays smooth, where the larger one shrunk shows a dotted rim.
      {"SLIDER_SMALL", 16, 16, R::widget, "MASK_SLIDER_SMALL", draw_small_slider},
      {"MASK_SLIDER_SMALL", 16, 16, R::mask, "", draw_small_slider_mask},
      {"CHK_1_ON", 16, 16, R::widget, "MASK_LED", led(LED_RED, LED_RED_DARK, true)},
      {"CHK_1_OFF", 16, 16, R::widget, "MASK_LED", led(LED_RED, LED_RED_DARK, false)},
      {"CHK_2_ON", 16, 16, R::widget, "MASK_LED", led(LED_GREEN, LED_GREEN_DARK, true)},
      {"CHK_2_OFF", 16, 16, R::widget, "MASK_LED", led(LED_GREEN, LED_GREEN_DARK, false)},
      {"MASK_LED", 16, 16, R::mask, "", draw_led_mask},
      {"BUTTON_PATTERN_ON", 32, 16, R::widget, "MASK_PATTERN", pattern(true)},
      {"BUTTON_PATTERN_OFF", 32, 16, R::widget, "MASK_PATTERN", pattern(false)},
      {"MASK_PATTERN", 32, 16, R::mask, "", draw_pattern_mask},
      {"DISP_SIN", 64, 32, R::widget, "", display(Waveform::sine)},
      {"DISP_SAW", 64, 32, R::widget, "", display(Waveform::saw)},
      {"DISP_TRI", 64, 32, R::widget, "", display(Waveform::triangle)},
      {"DISP_SQR", 64, 32, R::widget, "", display(Waveform::square)},
      {"KEY_WAVE", 32, 32, R::widget, "MASK_KEY", key(KeyGlyph::wave)},
      {"KEY_LOAD", 32, 32, R::widget, "MASK_KEY", key(KeyGlyph::load)},
      {"KEY_SAVE", 32, 32, R::widget, "MASK_KEY", key(KeyGlyph::save)},
      {"MASK_KEY", 32, 32, R::mask, "", draw_key_mask},
  };
}

}  // namespace

const std::vector<TextureArt>& catalogue() {
  static const std::vector<TextureArt> all = build();
  return all;
}

std::string mask_of(const std::string& texture) {
  for (const TextureArt& art : catalogue()) {
    if (art.name == texture) return art.mask;
  }
  return "";
}

std::string image_path(const TextureArt& art) {
  std::string file = "textures/";
  for (char c : art.name) file += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return file + ".bmp";
}

}  // namespace zem::art
