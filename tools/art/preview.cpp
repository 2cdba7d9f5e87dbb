#include "preview.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <string>

#include "catalogue.h"

namespace zem::art {

namespace {

using Pictures = std::map<std::string, Image>;

Colour sample(const Image& image, float u, float v) {
  const float x = std::clamp(u - 0.5f, 0.0f, image.width() - 1.0f);
  const float y = std::clamp(v - 0.5f, 0.0f, image.height() - 1.0f);
  const int x0 = static_cast<int>(x), y0 = static_cast<int>(y);
  const int x1 = std::min(x0 + 1, image.width() - 1), y1 = std::min(y0 + 1, image.height() - 1);
  const float tx = x - x0, ty = y - y0;
  return mix(mix(image.at(x0, y0), image.at(x1, y0), tx),
             mix(image.at(x0, y1), image.at(x1, y1), tx), ty);
}

// A sprite as the toolkit draws it: centred on pos, covering twice its width
// and height, turned clockwise by angle. Without a mask the picture replaces
// the screen; with one, the screen is multiplied by the mask and the picture
// added. Each screen pixel averages 4 x 4 samples, standing in for mipmaps.
void draw_sprite(Image& frame, const Image& picture, const Image* mask, Vec pos, float width,
                 float height, float angle) {
  constexpr int N = 4;
  const float reach = std::hypot(width, height) + 1;
  const int x_lo = std::max(0, static_cast<int>(pos.x - reach));
  const int x_hi = std::min(frame.width() - 1, static_cast<int>(pos.x + reach));
  const int y_lo = std::max(0, static_cast<int>(pos.y - reach));
  const int y_hi = std::min(frame.height() - 1, static_cast<int>(pos.y + reach));
  for (int y = y_lo; y <= y_hi; ++y) {
    for (int x = x_lo; x <= x_hi; ++x) {
      const Colour under = frame.at(x, y);
      Colour sum{};
      for (int sy = 0; sy < N; ++sy) {
        for (int sx = 0; sx < N; ++sx) {
          const Vec p{x + (sx + 0.5f) / N, y + (sy + 0.5f) / N};
          const Vec local = rotated(p - pos, -angle);
          if (std::abs(local.x) > width || std::abs(local.y) > height) {
            sum = sum + under;
            continue;
          }
          const float u = (local.x + width) / (2 * width);
          const float v = (local.y + height) / (2 * height);
          const Colour c = sample(picture, u * picture.width(), v * picture.height());
          if (mask == nullptr) {
            sum = sum + c;
          } else {
            const Colour m = sample(*mask, u * mask->width(), v * mask->height());
            sum = sum + Colour{under.r * m.r + c.r, under.g * m.g + c.g, under.b * m.b + c.b};
          }
        }
      }
      const Colour c = sum * (1.0f / (N * N));
      frame.at(x, y) = {std::min(c.r, 1.0f), std::min(c.g, 1.0f), std::min(c.b, 1.0f)};
    }
  }
}

class Mock {
 public:
  Mock(Image& frame, const Pictures& pictures) : frame_(frame), pictures_(pictures) {}
  void origin(Vec o) { origin_ = o; }
  // One widget, with the mask that the catalogue gives its picture; like the
  // texture library, a name it does not know shows the first texture.
  void put(const std::string& name, float x, float y, float w, float h, float angle = 0) {
    const auto found = pictures_.find(name);
    const Image& picture =
        found != pictures_.end() ? found->second : pictures_.at(catalogue().front().name);
    const Image* mask = nullptr;
    for (const TextureArt& art : catalogue()) {
      if (art.name == name && !art.mask.empty()) mask = &pictures_.at(art.mask);
    }
    draw_sprite(frame_, picture, mask, origin_ + Vec{x, y}, w, h, angle);
  }

 private:
  Image& frame_;
  const Pictures& pictures_;
  Vec origin_;
};

// The bottom strip every panel shares: step lights, pattern and bank buttons.
void sequencer_strip(Mock& m, int lights, int current, float light_size, int pattern) {
  for (int k = 0; k < lights; ++k) {
    m.put(k == current ? "CHK_1_OFF" : "CHK_1_ON", 62 + 20.0f * k, 103, light_size, light_size);
  }
  for (int k = 0; k < 8; ++k) {
    m.put(k == pattern ? "BUTTON_PATTERN_ON" : "BUTTON_PATTERN_OFF", 420 + 27.0f * k, 103, 11, 6);
  }
  for (int k = 0; k < 4; ++k) {
    m.put(k == 0 ? "BUTTON_PATTERN_ON" : "BUTTON_PATTERN_OFF", 660 + 27.0f * k, 103, 11, 6);
  }
}

void switches(Mock& m, float x, float y, int count) {
  for (int k = 0; k < count; ++k)
    m.put(k % 3 == 1 ? "CHK_2_OFF" : "CHK_2_ON", x + 26.0f * k, y, 7, 7);
}

void drum_panel(Mock& m) {
  m.put("BACK_TB808", 400, 62.5f, 400, 62.5f);
  for (int k = 0; k < 11; ++k) m.put("KNOB", 62 + 42.0f * k, 34, 14, 14, -45 + 33.0f * k);
  for (int k = 0; k < 9; ++k) m.put("KNOB", 62 + 42.0f * k, 72, 12, 12, 200 - 25.0f * k);
  switches(m, 548, 34, 7);
  for (int k = 0; k < 8; ++k)
    m.put(k % 3 == 0 ? "CHK_1_ON" : "CHK_1_OFF", 62 + 40.0f * k, 103, 10, 10);
  for (int k = 0; k < 8; ++k) {
    m.put(k == 2 ? "BUTTON_PATTERN_ON" : "BUTTON_PATTERN_OFF", 420 + 27.0f * k, 103, 11, 6);
  }
  for (int k = 0; k < 4; ++k) {
    m.put(k == 0 ? "BUTTON_PATTERN_ON" : "BUTTON_PATTERN_OFF", 660 + 27.0f * k, 103, 11, 6);
  }
}

void bass_panel(Mock& m, const char* display, int step) {
  m.put("BACK_TB303", 400, 62.5f, 400, 62.5f);
  for (int k = 0; k < 12; ++k) m.put("KNOB", 62 + 40.0f * k, 32, 13, 13, -45 + 27.0f * k);
  m.put(display, 612, 34, 30, 15);
  m.put("KEY_WAVE", 672, 34, 10, 10);
  m.put("KEY_LOAD", 712, 34, 10, 10);
  m.put("KEY_SAVE", 752, 34, 10, 10);
  for (int k = 0; k < 16; ++k) m.put("SLIDER", 62 + 42.0f * k, 70, 11, 11, 40 + 13.0f * k);
  sequencer_strip(m, 16, step, 6, 3);
}

void osc_panel(Mock& m) {
  m.put("BACK_OSC", 400, 62.5f, 400, 62.5f);
  for (int k = 0; k < 8; ++k) m.put("SLIDER", 62 + 38.0f * k, 34, 12, 12, 65 + 20.0f * k);
  for (int k = 0; k < 6; ++k) m.put("KNOB", 380 + 40.0f * k, 34, 14, 14, 10 + 50.0f * k);
  for (int k = 0; k < 7; ++k) m.put("KNOB", 62 + 42.0f * k, 72, 12, 12, -45 + 45.0f * k);
  for (int k = 0; k < 3; ++k) {
    m.put(k == 1 ? "CHK_2_OFF" : "CHK_2_ON", 400 + 70.0f * k, 72, 7, 7);
    m.put("KEY_WAVE", 428 + 70.0f * k, 72, 9, 9);
  }
  switches(m, 640, 72, 5);
  sequencer_strip(m, 8, 5, 6, 0);
}

Pictures draw_all() {
  Pictures pictures;
  for (const TextureArt& art : catalogue()) {
    Image image(art.width, art.height);
    art.draw(image);
    pictures.emplace(art.name, std::move(image));
  }
  return pictures;
}

void blit(Image& frame, const Image& image, int x0, int y0) {
  for (int y = 0; y < image.height() && y0 + y < frame.height(); ++y) {
    for (int x = 0; x < image.width() && x0 + x < frame.width(); ++x) {
      frame.at(x0 + x, y0 + y) = image.at(x, y);
    }
  }
}

}  // namespace

Image render_preview() {
  constexpr int WINDOW_W = 800, WINDOW_H = 625, SIDE = 248, GAP = 12;
  const Pictures pictures = draw_all();
  // Lay the stored textures out in rows under the window.
  int x = GAP, y = WINDOW_H + GAP, row_height = 0, total_height = 0;
  std::vector<std::pair<const Image*, Vec>> tiles;
  for (const TextureArt& art : catalogue()) {
    if (x + art.width + GAP > WINDOW_W + SIDE) {
      x = GAP;
      y += row_height + GAP;
      row_height = 0;
    }
    tiles.push_back({&pictures.at(art.name), {static_cast<float>(x), static_cast<float>(y)}});
    x += art.width + GAP;
    row_height = std::max(row_height, art.height);
    total_height = y + row_height + GAP;
  }
  Image frame(WINDOW_W + SIDE, total_height, Colour{0.33f, 0.36f, 0.42f});
  Mock mock(frame, pictures);
  // The window, panels from top to bottom as the program places them.
  mock.origin({0, 0});
  drum_panel(mock);
  mock.origin({0, 125});
  bass_panel(mock, "DISP_SIN", 4);
  mock.origin({0, 250});
  osc_panel(mock);
  mock.origin({0, 375});
  bass_panel(mock, "DISP_SQR", 0);
  mock.origin({0, 500});
  drum_panel(mock);
  // Beside it, widgets three times their usual size over a background.
  mock.origin({WINDOW_W, 0});
  mock.put("BACK_OSC", SIDE / 2.0f, WINDOW_H / 2.0f, SIDE / 2.0f, WINDOW_H / 2.0f);
  for (int k = 0; k < 4; ++k) mock.put("KNOB", 40 + 56.0f * k, 60, 24, 24, -45 + 90.0f * k);
  for (int k = 0; k < 4; ++k) mock.put("SLIDER", 40 + 56.0f * k, 130, 22, 22, 30 + 100.0f * k);
  const char* leds[] = {"CHK_1_ON", "CHK_1_OFF", "CHK_2_ON", "CHK_2_OFF"};
  for (int k = 0; k < 4; ++k) mock.put(leds[k], 40 + 56.0f * k, 195, 18, 18);
  mock.put("BUTTON_PATTERN_ON", 64, 255, 36, 18);
  mock.put("BUTTON_PATTERN_OFF", 164, 255, 36, 18);
  const char* displays[] = {"DISP_SIN", "DISP_SAW", "DISP_TRI", "DISP_SQR"};
  for (int k = 0; k < 4; ++k)
    mock.put(displays[k], 64 + 100.0f * (k % 2), 320 + 60.0f * (k / 2), 46, 23);
  const char* keys[] = {"KEY_WAVE", "KEY_LOAD", "KEY_SAVE"};
  for (int k = 0; k < 3; ++k) mock.put(keys[k], 50 + 70.0f * k, 470, 26, 26);
  mock.put("NO_SUCH_TEXTURE_SHOWS_SLOT_0", 124, 550, 24, 24);
  for (const auto& [image, at] : tiles)
    blit(frame, *image, static_cast<int>(at.x), static_cast<int>(at.y));
  return frame;
}

}  // namespace zem::art
