// Text drawn at its baseline, in window pixels from the bottom-left corner.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "gfx_gl_window.h"

namespace {

using namespace gfx_test;

// Rows (counted from the bottom) and columns of lit pixels in a region.
struct lit_area {
  int lowest_row = 1 << 30, highest_row = -1, leftmost = 1 << 30, rightmost = -1;
  int brightest_red = 0, brightest_other = 0;
  bool any(int from_row, int to_row) const {
    return std::any_of(rows.begin(), rows.end(),
                       [&](int r) { return r >= from_row && r <= to_row; });
  }
  std::vector<int> rows;
};

lit_area lit_pixels(int x0, int y0, int width, int height) {
  std::vector<GLubyte> p(3 * width * height);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x0, y0, width, height, GL_RGB, GL_UNSIGNED_BYTE, p.data());
  lit_area area;
  for (int j = 0; j < height; ++j) {
    for (int i = 0; i < width; ++i) {
      const GLubyte* c = &p[3 * (i + j * width)];
      area.brightest_red = std::max<int>(area.brightest_red, c[0]);
      area.brightest_other = std::max<int>(area.brightest_other, std::max(c[1], c[2]));
      if (c[0] < 40) continue;  // faint antialiased edges are not counted
      area.rightmost = std::max(area.rightmost, x0 + i);
      area.lowest_row = std::min(area.lowest_row, y0 + j);
      area.highest_row = std::max(area.highest_row, y0 + j);
      area.leftmost = std::min(area.leftmost, x0 + i);
      area.rows.push_back(y0 + j);
    }
  }
  return area;
}

class TextGlTest : public GlWindowTest {};

TEST_F(TextGlTest, CapitalStandsOnTheBaseline) {
  print_text(large_font, 100, 100, "%c", 'H');
  const lit_area area = lit_pixels(80, 60, 80, 80);
  // A 16-pixel em: the capital is about 12 pixels tall, nothing below the line.
  EXPECT_GE(area.lowest_row, 99);
  EXPECT_LE(area.lowest_row, 101);
  EXPECT_GE(area.highest_row, 108);
  EXPECT_LE(area.highest_row, 114);
  EXPECT_GE(area.leftmost, 100);
  EXPECT_LE(area.leftmost, 104);
}

TEST_F(TextGlTest, SmallFontIsHalfAsTall) {
  print_text(small_font, 100, 100, "H");
  const lit_area area = lit_pixels(80, 60, 80, 80);
  EXPECT_GE(area.lowest_row, 99);
  EXPECT_LE(area.highest_row, 108);
  EXPECT_GE(area.highest_row, 103);
}

TEST_F(TextGlTest, LineEndMovesTheNextLineDownByTheSpacing) {
  print_text(large_font, 100, 100, "H\nH");
  const lit_area area = lit_pixels(80, 40, 80, 100);
  // Second baseline at 100 - 12 / 0.63 = 80.95.
  EXPECT_GE(area.lowest_row, 80);
  EXPECT_LE(area.lowest_row, 82);
  EXPECT_TRUE(area.any(100, 101));
  EXPECT_FALSE(area.any(95, 98));

  // A trailing line end, an empty text and no format at all add nothing.
  glClear(GL_COLOR_BUFFER_BIT);
  print_text(large_font, 100, 100, "H\n");
  print_text(large_font, 100, 60, nullptr);
  print_text(large_font, 100, 60, "%s", "");
  EXPECT_GE(lit_pixels(80, 40, 80, 100).lowest_row, 99);
}

TEST_F(TextGlTest, LongTextIsCutAndHighCodesAreLeftOut) {
  std::string long_text(600, 'H');
  print_text(large_font, 100, 300, "%s", long_text.c_str());
  print_text(large_font, 100, 200, "\xe9\xff");
  EXPECT_EQ(lit_pixels(80, 180, 80, 60).highest_row, -1);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(TextGlTest, TextFollowsTheCurrentColour) {
  glColor3ub(255, 0, 0);
  print_text(large_font, 100, 100, "H");
  const lit_area area = lit_pixels(80, 60, 80, 80);
  EXPECT_GT(area.brightest_red, 200);
  EXPECT_EQ(area.brightest_other, 0);
}

TEST_F(TextGlTest, SpaceHasAnEmptyOneTexelTexture) {
  GLint width = 0, height = 0;
  glBindTexture(GL_TEXTURE_2D, large_font.glyph_textures[static_cast<int>(' ')]);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
  EXPECT_EQ(width, 1);
  EXPECT_EQ(height, 1);
  // The space only advances the pen: "H H" ends further right than "HH" and
  // draws nothing between the two letters.
  print_text(large_font, 100, 100, "HH");
  const lit_area tight = lit_pixels(90, 90, 200, 40);
  glClear(GL_COLOR_BUFFER_BIT);
  print_text(large_font, 100, 100, "H H");
  const lit_area spaced = lit_pixels(90, 90, 200, 40);
  EXPECT_GT(spaced.rightmost, tight.rightmost + 3);
  EXPECT_EQ(spaced.highest_row, tight.highest_row);
  EXPECT_EQ(spaced.rows.size(), tight.rows.size());
}

}  // namespace
