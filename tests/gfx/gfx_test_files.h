// Small files for the graphics tests: 24-bit and 32-bit BMP images, archive
// index files and the test font. Their temporary folders are
// zem_test::temp_folder (tests/support/temp_folder.h).
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <functional>
#include <string>

namespace gfx_test {

struct rgb {
  Uint8 r, g, b;
};

// Writes a 24-bit BMP of width x height whose pixel (column, row from the top)
// has the colour pixel(column, row).
inline void write_bmp24(const std::string& path, int width, int height,
                        const std::function<rgb(int, int)>& pixel) {
  SDL_Surface* surface =
      SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 24, 0xff0000, 0x00ff00, 0x0000ff, 0);
  ASSERT_NE(surface, nullptr);
  for (int row = 0; row < height; ++row) {
    Uint8* line = static_cast<Uint8*>(surface->pixels) + row * surface->pitch;
    for (int column = 0; column < width; ++column) {
      const Uint32 value = SDL_MapRGB(surface->format, pixel(column, row).r, pixel(column, row).g,
                                      pixel(column, row).b);
      line[3 * column] = value & 0xff;
      line[3 * column + 1] = (value >> 8) & 0xff;
      line[3 * column + 2] = (value >> 16) & 0xff;
    }
  }
  ASSERT_EQ(SDL_SaveBMP(surface, path.c_str()), 0);
  SDL_FreeSurface(surface);
}

inline void write_solid_bmp24(const std::string& path, int width, int height, rgb colour) {
  write_bmp24(path, width, height, [colour](int, int) { return colour; });
}

// A 32-bit BMP (with an alpha byte) of one grey colour, written field by field.
inline void write_bmp32(const std::string& path, int width, int height) {
  std::ofstream out(path, std::ios::binary);
  auto put = [&out](uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.put(static_cast<char>((value >> (8 * i)) & 0xff));
  };
  const uint32_t image_size = 4u * width * height;
  out << "BM";
  put(14 + 40 + image_size, 4);
  put(0, 4);
  put(14 + 40, 4);
  put(40, 4);  // BITMAPINFOHEADER
  put(width, 4);
  put(height, 4);
  put(1, 2);
  put(32, 2);
  put(0, 4);  // no compression
  put(image_size, 4);
  put(2835, 4);
  put(2835, 4);
  put(0, 4);
  put(0, 4);
  for (uint32_t i = 0; i < image_size; ++i) out.put(static_cast<char>(0x80));
}

inline void write_text(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// Any TrueType font serves as the program's "Test.ttf".
inline const char* test_font_source() {
  return "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
}

}  // namespace gfx_test
