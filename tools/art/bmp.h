// 24-bit uncompressed BMP files: the format SDL_image decodes into the 24-bit
// surfaces (blue, green, red bytes) that the texture loader accepts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "raster.h"

namespace zem::art {

// The whole file: a 14-byte file header, a 40-byte information header, then
// the rows from the bottom of the picture to the top, each pixel as blue,
// green, red, each row padded with zeros to a multiple of 4 bytes.
std::vector<uint8_t> encode_bmp(const rgb_image& image);

// Writes encode_bmp(image) to path; throws std::runtime_error on failure.
void write_bmp(const std::string& path, const rgb_image& image);

// A display value 0 … 1 as a byte, rounded, out-of-range values clamped.
uint8_t to_byte(float value);

}  // namespace zem::art
