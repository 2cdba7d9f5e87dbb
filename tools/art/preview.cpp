#include "preview.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <string>

#include "catalogue.h"
#include "mock_window.h"

namespace zem::art {

namespace {

using pictures_by_name = std::map<std::string, rgb_image>;

rgb_colour sample(const rgb_image& image, float u, float v) {
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
void draw_sprite(rgb_image& frame, const rgb_image& picture, const rgb_image* mask, vec2 pos,
                 float width, float height, float angle) {
  constexpr int N = 4;
  const float reach = std::hypot(width, height) + 1;
  const int x_lo = std::max(0, static_cast<int>(pos.x - reach));
  const int x_hi = std::min(frame.width() - 1, static_cast<int>(pos.x + reach));
  const int y_lo = std::max(0, static_cast<int>(pos.y - reach));
  const int y_hi = std::min(frame.height() - 1, static_cast<int>(pos.y + reach));
  for (int y = y_lo; y <= y_hi; ++y) {
    for (int x = x_lo; x <= x_hi; ++x) {
      const rgb_colour under = frame.at(x, y);
      rgb_colour sum{};
      for (int sy = 0; sy < N; ++sy) {
        for (int sx = 0; sx < N; ++sx) {
          const vec2 p{x + (sx + 0.5f) / N, y + (sy + 0.5f) / N};
          const vec2 local = rotated(p - pos, -angle);
          if (std::abs(local.x) > width || std::abs(local.y) > height) {
            sum = sum + under;
            continue;
          }
          const float u = (local.x + width) / (2 * width);
          const float v = (local.y + height) / (2 * height);
          const rgb_colour c = sample(picture, u * picture.width(), v * picture.height());
          if (mask == nullptr) {
            sum = sum + c;
          } else {
            const rgb_colour m = sample(*mask, u * mask->width(), v * mask->height());
            sum = sum + rgb_colour{under.r * m.r + c.r, under.g * m.g + c.g, under.b * m.b + c.b};
          }
        }
      }
      const rgb_colour c = sum * (1.0f / (N * N));
      frame.at(x, y) = {std::min(c.r, 1.0f), std::min(c.g, 1.0f), std::min(c.b, 1.0f)};
    }
  }
}

// Draws widgets by texture name, with the mask that the catalogue gives
// them; like the texture library, an unknown name shows the first texture.
class sprite_painter {
 public:
  sprite_painter(rgb_image& frame, const pictures_by_name& pictures)
      : frame_(frame), pictures_(pictures) {}
  void put(const std::string& name, float x, float y, float w, float h, float angle = 0) const {
    const std::string mask = mask_of(name);
    draw_sprite(frame_, picture(name), mask.empty() ? nullptr : &picture(mask), {x, y}, w, h,
                angle);
  }

 private:
  const rgb_image& picture(const std::string& name) const {
    const auto found = pictures_.find(name);
    return found != pictures_.end() ? found->second : pictures_.at(catalogue().front().name);
  }
  rgb_image& frame_;
  const pictures_by_name& pictures_;
};

pictures_by_name draw_all() {
  pictures_by_name pictures;
  for (const texture_art& art : catalogue()) {
    rgb_image image(art.width, art.height);
    art.draw(image);
    pictures.emplace(art.name, std::move(image));
  }
  return pictures;
}

void blit(rgb_image& frame, const rgb_image& image, int x0, int y0) {
  for (int y = 0; y < image.height() && y0 + y < frame.height(); ++y) {
    for (int x = 0; x < image.width() && x0 + x < frame.width(); ++x) {
      frame.at(x0 + x, y0 + y) = image.at(x, y);
    }
  }
}

}  // namespace

rgb_image render_preview() {
  constexpr int WINDOW_W = 800, WINDOW_H = 625, SIDE = 248, GAP = 12;
  const pictures_by_name pictures = draw_all();
  // Lay the stored textures out in rows under the window.
  int x = GAP, y = WINDOW_H + GAP, row_height = 0, total_height = 0;
  std::vector<std::pair<const rgb_image*, vec2>> tiles;
  for (const texture_art& art : catalogue()) {
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
  rgb_image frame(WINDOW_W + SIDE, total_height, rgb_colour{0.33f, 0.36f, 0.42f});
  const sprite_painter painter(frame, pictures);
  lay_out_mock_window([&](const std::string& name, float x, float y, float w, float h,
                          float angle) { painter.put(name, x, y, w, h, angle); });
  // Beside the window, widgets three times their usual size over a background.
  auto side = [&](const std::string& name, float x, float y, float w, float h, float angle = 0) {
    painter.put(name, WINDOW_W + x, y, w, h, angle);
  };
  side("BACK_OSC", SIDE / 2.0f, WINDOW_H / 2.0f, SIDE / 2.0f, WINDOW_H / 2.0f);
  for (int k = 0; k < 4; ++k) side("KNOB", 40 + 56.0f * k, 60, 24, 24, -45 + 90.0f * k);
  for (int k = 0; k < 4; ++k) side("SLIDER", 40 + 56.0f * k, 130, 22, 22, 30 + 100.0f * k);
  const char* leds[] = {"CHK_1_ON", "CHK_1_OFF", "CHK_2_ON", "CHK_2_OFF"};
  for (int k = 0; k < 4; ++k) side(leds[k], 40 + 56.0f * k, 195, 18, 18);
  side("BUTTON_PATTERN_ON", 64, 255, 36, 18);
  side("BUTTON_PATTERN_OFF", 164, 255, 36, 18);
  const char* displays[] = {"DISP_SIN", "DISP_SAW", "DISP_TRI", "DISP_SQR"};
  for (int k = 0; k < 4; ++k)
    side(displays[k], 64 + 100.0f * (k % 2), 320 + 60.0f * (k / 2), 46, 23);
  const char* keys[] = {"KEY_WAVE", "KEY_LOAD", "KEY_SAVE"};
  for (int k = 0; k < 3; ++k) side(keys[k], 50 + 70.0f * k, 470, 26, 26);
  side("NO_SUCH_TEXTURE", 124, 550, 24, 24);
  // Under it, every texture as stored.
  for (const auto& [image, at] : tiles)
    blit(frame, *image, static_cast<int>(at.x), static_cast<int>(at.y));
  return frame;
}

}  // namespace zem::art
