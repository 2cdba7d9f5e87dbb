// A window opened through init_video in a private folder holding a small
// texture archive and the test font, shared by the tests of one program. The
// X and GL libraries' leaks are suppressed for every test program
// (tests/support/leak_suppressions.h).
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "../gfx_test_files.h"
#include "font.h"
#include "temp_folder.h"
#include "texture_library.h"
#include "video.h"

namespace gfx_test {

constexpr rgb MAGENTA{255, 0, 255};
constexpr rgb RED{255, 0, 0};
constexpr rgb GREEN{0, 255, 0};
constexpr rgb BLUE{0, 0, 255};
constexpr rgb WHITE{255, 255, 255};
constexpr rgb BLACK{0, 0, 0};
constexpr rgb YELLOW{255, 255, 0};

// Writes the images and the archive index; the first entry is the picture of
// every unknown name.
inline void write_installation(const zem_test::temp_folder& folder, bool with_font) {
  write_solid_bmp24(folder.file("first.bmp"), 4, 4, MAGENTA);
  // Top-left red, top-right green, bottom-left blue, bottom-right white.
  write_bmp24(folder.file("quads.bmp"), 8, 8, [](int column, int row) {
    if (row < 4) return column < 4 ? RED : GREEN;
    return column < 4 ? BLUE : WHITE;
  });
  write_solid_bmp24(folder.file("solid.bmp"), 4, 4, YELLOW);
  write_bmp24(folder.file("mask.bmp"), 8, 8,
              [](int column, int) { return column < 4 ? WHITE : BLACK; });
  write_bmp24(folder.file("image.bmp"), 8, 8,
              [](int column, int) { return column < 4 ? BLACK : GREEN; });
  write_bmp32(folder.file("alpha.bmp"), 4, 4);
  write_text(folder.file("OPENGL.ZPK"),
             "ZPK 1\n"
             "FIRST first.bmp SIMPLEPART\n"
             "QUADS quads.bmp SIMPLEPART\n"
             "ALPHA alpha.bmp SIMPLEPART\n"
             "SOLID solid.bmp SIMPLEPART\n"
             "ABSENT absent.bmp SIMPLEPART\n"
             "MASK mask.bmp SIMPLEPART\n"
             "IMAGE image.bmp SIMPLEPART\n"
             "END\n");
  if (with_font) {
    std::filesystem::copy_file(test_font_source(), folder.file("Test.ttf"));
  }
}

// Runs init_video inside folder and comes back to the current folder.
inline int init_video_in(const zem_test::temp_folder& folder) {
  // An X server that has just lost its last client resets and refuses
  // connections for a moment: wait for it before the real start-up, which then
  // finds video already initialised.
  for (int attempt = 0; attempt < 50 && SDL_Init(SDL_INIT_VIDEO) < 0; ++attempt) SDL_Delay(100);
  const std::filesystem::path here = std::filesystem::current_path();
  std::filesystem::current_path(folder.path());
  const int result = init_video();
  std::filesystem::current_path(here);
  return result;
}

// The colour of the back buffer's pixel at (x, y) of the 2D projection
// (origin top-left, y down).
inline rgb pixel_at(int x, int y) {
  GLubyte p[3];
  glReadBuffer(GL_BACK);
  glReadPixels(x, WINDOW_HEIGHT - 1 - y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, p);
  return {p[0], p[1], p[2]};
}

inline bool near(rgb a, rgb b, int tolerance = 12) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
         std::abs(a.b - b.b) <= tolerance;
}

inline std::ostream& operator<<(std::ostream& out, rgb c) {
  return out << "(" << int(c.r) << "," << int(c.g) << "," << int(c.b) << ")";
}

#define EXPECT_PIXEL(x, y, colour)                              \
  EXPECT_TRUE(gfx_test::near(gfx_test::pixel_at(x, y), colour)) \
      << "at (" << (x) << "," << (y) << "): " << gfx_test::pixel_at(x, y)

class GlWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (folder_) return;
    folder_ = std::make_unique<zem_test::temp_folder>();
    write_installation(*folder_, true);
    ASSERT_EQ(init_video_in(*folder_), 1);
  }

  void SetUp() override {
    ASSERT_NE(texture_library, nullptr);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor3ub(255, 255, 255);
  }

  static inline std::unique_ptr<zem_test::temp_folder> folder_;
};

}  // namespace gfx_test
