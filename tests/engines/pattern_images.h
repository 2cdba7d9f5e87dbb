#pragma once
// Pattern-file images for the engine tests: an instrument's image as
// write_state writes it, an image fed to read_state, and little-endian words
// at given offsets.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "instrument.h"

using image_bytes = std::vector<unsigned char>;

// The whole file that write_state writes.
inline image_bytes image_of(INSTRUMENT& instrument) {
  FILE* file = std::tmpfile();
  EXPECT_EQ(instrument.write_state(file), 1);
  image_bytes image(300000);
  std::rewind(file);
  image.resize(std::fread(image.data(), 1, image.size(), file));
  std::fclose(file);
  return image;
}

// read_state of a file holding exactly `image`.
inline int32_t read_image(INSTRUMENT& instrument, const image_bytes& image) {
  FILE* file = std::tmpfile();
  std::fwrite(image.data(), 1, image.size(), file);
  std::rewind(file);
  const int32_t result = instrument.read_state(file);
  std::fclose(file);
  return result;
}

inline uint32_t word_at(const image_bytes& image, size_t offset) {
  return image[offset] | image[offset + 1] << 8 | image[offset + 2] << 16 |
         static_cast<uint32_t>(image[offset + 3]) << 24;
}
inline int32_t int_at(const image_bytes& image, size_t offset) {
  return static_cast<int32_t>(word_at(image, offset));
}
inline float float_at(const image_bytes& image, size_t offset) {
  return std::bit_cast<float>(word_at(image, offset));
}
inline void put_word(image_bytes& image, size_t offset, uint32_t word) {
  for (int byte = 0; byte < 4; ++byte)
    image[offset + byte] = static_cast<unsigned char>(word >> (8 * byte));
}
inline void put_int(image_bytes& image, size_t offset, int32_t value) {
  put_word(image, offset, static_cast<uint32_t>(value));
}
inline void put_float(image_bytes& image, size_t offset, float value) {
  put_word(image, offset, std::bit_cast<uint32_t>(value));
}
