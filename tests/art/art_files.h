// Independent readers for the generated files, written from the formats
// themselves rather than from the generator's code.
#pragma once

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace art_test {

inline std::string runtime_path(const std::string& relative) {
  return std::string(ZEM_RUNTIME_DIR) + "/" + relative;
}

inline std::vector<uint8_t> read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The texture index as the reader takes it: tokens split at white space, two
// header tokens, then NAME PATH KIND triples up to the token END.
struct index_entry {
  std::string name, path, kind;
};

struct index_file {
  std::vector<std::string> header;
  std::vector<index_entry> entries;
  bool ended = false;                    // END was found where a name belongs
  std::vector<std::string> long_tokens;  // tokens over 59 characters before END
};

inline index_file read_index(const std::string& path) {
  std::ifstream in(path);
  index_file index;
  std::vector<std::string> tokens;
  for (std::string t; in >> t;) tokens.push_back(t);
  size_t i = 0;
  for (; i < tokens.size() && index.header.size() < 2; ++i) index.header.push_back(tokens[i]);
  while (i < tokens.size()) {
    if (tokens[i] == "END") {
      index.ended = true;
      break;
    }
    index_entry e;
    e.name = tokens[i++];
    if (i < tokens.size()) e.path = tokens[i++];
    if (i < tokens.size()) e.kind = tokens[i++];
    for (const std::string* t : {&e.name, &e.path, &e.kind}) {
      if (t->size() > 59) index.long_tokens.push_back(*t);
    }
    index.entries.push_back(e);
  }
  return index;
}

// A 24-bit uncompressed BMP, checked field by field. Pixels come out top row
// first as red, green, blue.
struct bmp_file {
  std::string error;  // empty when the file is a valid 24-bit BMP
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
  const uint8_t* pixel(int x, int y) const {
    return &rgb[3 * (static_cast<size_t>(y) * width + x)];
  }
  int level(int x, int y) const {  // brightest channel
    const uint8_t* p = pixel(x, y);
    return std::max({p[0], p[1], p[2]});
  }
};

inline bmp_file read_bmp(const std::string& path) {
  const std::vector<uint8_t> f = read_file(path);
  bmp_file bmp;
  auto fail = [](const char* why) {
    bmp_file failed;
    failed.error = why;
    return failed;
  };
  auto u16 = [&](size_t at) { return static_cast<uint32_t>(f[at] | f[at + 1] << 8); };
  auto u32 = [&](size_t at) { return u16(at) | u16(at + 2) << 16; };
  if (f.size() < 54 || f[0] != 'B' || f[1] != 'M') return fail("not a BMP file");
  if (u32(2) != f.size()) return fail("file size field differs from the file's size");
  if (u32(14) != 40) return fail("not a BITMAPINFOHEADER");
  if (u16(26) != 1 || u16(28) != 24) return fail("not 24 bits per pixel");
  if (u32(30) != 0) return fail("compressed");
  const int32_t width = static_cast<int32_t>(u32(18)), height = static_cast<int32_t>(u32(22));
  if (width <= 0 || height <= 0) return fail("not a bottom-up image with a positive size");
  const size_t row = (3 * static_cast<size_t>(width) + 3) / 4 * 4;
  const size_t offset = u32(10);
  if (offset < 54 || offset + row * height > f.size()) return fail("pixel rows missing");
  bmp.width = width;
  bmp.height = height;
  bmp.rgb.resize(3 * static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    const uint8_t* src = &f[offset + row * (height - 1 - y)];
    for (int x = 0; x < width; ++x) {
      uint8_t* dst = &bmp.rgb[3 * (static_cast<size_t>(y) * width + x)];
      dst[0] = src[3 * x + 2];
      dst[1] = src[3 * x + 1];
      dst[2] = src[3 * x];
    }
  }
  return bmp;
}

inline bool power_of_two(int n) {
  return n > 0 && (n & (n - 1)) == 0;
}

}  // namespace art_test
