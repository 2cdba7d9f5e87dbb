#include "frame_capture.h"

#include <GL/gl.h>

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "atomic_file.h"
#include "bmp.h"
#include "video.h"

namespace {

// The window's pixels, top row first: GL reads rows from the bottom.
zem::art::rgb_image read_back_buffer() {
  std::vector<uint8_t> rgb(3 * WINDOW_WIDTH * WINDOW_HEIGHT);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  zem::art::rgb_image image(WINDOW_WIDTH, WINDOW_HEIGHT);
  for (int row = 0; row < WINDOW_HEIGHT; ++row) {
    const uint8_t* p = &rgb[3 * static_cast<size_t>(WINDOW_HEIGHT - 1 - row) * WINDOW_WIDTH];
    for (int x = 0; x < WINDOW_WIDTH; ++x, p += 3) {
      image.at(x, row) = {p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f};
    }
  }
  return image;
}

}  // namespace

void write_back_buffer_bmp(const std::string& path) {
  std::string error;
  if (!write_file_atomically(path, zem::art::encode_bmp(read_back_buffer()), error))
    throw std::runtime_error("cannot write " + path);
}
