#include "bmp.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <stdexcept>

namespace zem::art {

namespace {

constexpr int FILE_HEADER_SIZE = 14;
constexpr int INFO_HEADER_SIZE = 40;

void put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(v & 0xFF);
  out.push_back((v >> 8) & 0xFF);
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

}  // namespace

uint8_t to_byte(float value) {
  return static_cast<uint8_t>(std::lround(std::clamp(value, 0.0f, 1.0f) * 255));
}

std::vector<uint8_t> encode_bmp(const rgb_image& image) {
  const uint32_t row_size = (3 * image.width() + 3) / 4 * 4;
  const uint32_t pixel_bytes = row_size * image.height();
  const uint32_t offset = FILE_HEADER_SIZE + INFO_HEADER_SIZE;
  std::vector<uint8_t> out;
  out.reserve(offset + pixel_bytes);
  out.push_back('B');
  out.push_back('M');
  put32(out, offset + pixel_bytes);  // file size
  put32(out, 0);                     // reserved
  put32(out, offset);                // where the pixels start
  put32(out, INFO_HEADER_SIZE);
  put32(out, image.width());
  put32(out, image.height());  // positive: bottom row first
  put16(out, 1);               // planes
  put16(out, 24);              // bits per pixel
  put32(out, 0);               // no compression
  put32(out, pixel_bytes);
  put32(out, 2835);  // 72 dots per inch, both ways
  put32(out, 2835);
  put32(out, 0);  // no palette
  put32(out, 0);
  for (int y = image.height() - 1; y >= 0; --y) {
    const size_t row_start = out.size();
    for (int x = 0; x < image.width(); ++x) {
      const rgb_colour& c = image.at(x, y);
      out.push_back(to_byte(c.b));
      out.push_back(to_byte(c.g));
      out.push_back(to_byte(c.r));
    }
    out.resize(row_start + row_size, 0);
  }
  return out;
}

void write_bmp(const std::string& path, const rgb_image& image) {
  const std::vector<uint8_t> bytes = encode_bmp(image);
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (!file) throw std::runtime_error("cannot write " + path);
}

}  // namespace zem::art
