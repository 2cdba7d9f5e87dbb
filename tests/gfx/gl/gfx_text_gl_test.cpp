// Text drawn at its baseline, in window pixels from the bottom-left corner.
#include <ft2build.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>
#include FT_FREETYPE_H
#include FT_MODULE_H

#include "gfx_gl_window.h"

namespace {

using namespace gfx_test;
using zem_test::temp_folder;

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

// Height h is h points at 96 dpi: a 16-pixel em for 12, 8 pixels for 6.
TEST_F(TextGlTest, CapitalsStandOnTheBaselineAtTheFontsSize) {
  print_text(large_font, 100, 100, "%c", 'H');
  lit_area area = lit_pixels(80, 60, 80, 80);
  // The capital is about 12 pixels tall, nothing below the line.
  EXPECT_GE(area.lowest_row, 99);
  EXPECT_LE(area.lowest_row, 101);
  EXPECT_GE(area.highest_row, 108);
  EXPECT_LE(area.highest_row, 114);
  EXPECT_GE(area.leftmost, 100);
  EXPECT_LE(area.leftmost, 104);

  glClear(GL_COLOR_BUFFER_BIT);
  print_text(small_font, 100, 100, "H");
  area = lit_pixels(80, 60, 80, 80);
  EXPECT_GE(area.lowest_row, 99);
  EXPECT_LE(area.highest_row, 108);
  EXPECT_GE(area.highest_row, 103);

  // After a resize the text stretches with the panels: row 100 of 625 is 64 of 400.
  glClear(GL_COLOR_BUFFER_BIT);
  resize_viewport(WINDOW_WIDTH, 400);
  print_text(large_font, 100, 100, "H");
  resize_viewport(WINDOW_WIDTH, WINDOW_HEIGHT);
  area = lit_pixels(80, 30, 80, 80);
  EXPECT_GE(area.lowest_row, 63);
  EXPECT_LE(area.lowest_row, 65);
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

// A font built from a file for one test, with its textures and lists freed.
class test_font {
 public:
  explicit test_font(const std::string& path) { init_font(font, path.c_str(), 12); }
  test_font() {
    font.glyph_textures = new uint32_t[FONT_GLYPHS];
    glGenTextures(FONT_GLYPHS, font.glyph_textures);
    font.list_base = glGenLists(FONT_GLYPHS);
  }
  ~test_font() {
    glDeleteLists(font.list_base, FONT_GLYPHS);
    glDeleteTextures(FONT_GLYPHS, font.glyph_textures);
    delete[] font.glyph_textures;
  }
  FONT font;
};

// A bitmap font (BDF) at the 16-pixel size that height 12 asks for, whose one
// glyph 'H' is 10 x 3 pixels of bits_per_pixel bits each, given as hex rows.
void write_bdf(const std::string& path, int bits_per_pixel, const char* rows) {
  write_text(path,
             "STARTFONT 2.1\nFONT -zem-test-medium-r-normal--16-120-96-96-c-100-iso8859-1\n"
             "SIZE 12 96 96 " +
                 std::to_string(bits_per_pixel) +
                 "\nFONTBOUNDINGBOX 10 3 0 0\nSTARTPROPERTIES 1\nPIXEL_SIZE 16\n"
                 "ENDPROPERTIES\nCHARS 1\nSTARTCHAR H\nENCODING 72\nSWIDTH 600 0\n"
                 "DWIDTH 12 0\nBBX 10 3 0 0\nBITMAP\n" +
                 rows + "ENDCHAR\nENDFONT\n");
}

// Bitmap strikes come with 1 or 2 bits per pixel: each pixel's level must land
// in its own texel, and the bitmap must not be read past its end.
TEST_F(TextGlTest, BitmapFontGlyphsKeepTheirPixels) {
  temp_folder folder;
  write_bdf(folder.file("mono.bdf"), 1, "C0C0\nFFC0\nC0C0\n");
  {
    test_font mono(folder.file("mono.bdf"));
    print_text(mono.font, 100, 100, "H");
  }
  // Rows from the bottom: the glyph's last row sits on the baseline.
  const char* expected[3] = {"##......##", "##########", "##......##"};
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 10; ++column) {
      const rgb lit = expected[row][column] == '#' ? WHITE : BLACK;
      EXPECT_PIXEL(100 + column, WINDOW_HEIGHT - 1 - (100 + row), lit);
    }
  }
  EXPECT_PIXEL(110, WINDOW_HEIGHT - 1 - 101, BLACK);

  // Two bits per pixel: levels 0 to 3 of 3, drawn as grey g with opacity g.
  glClear(GL_COLOR_BUFFER_BIT);
  write_bdf(folder.file("grey.bdf"), 2, "1B0000\n000000\n000000\n");
  {
    test_font grey(folder.file("grey.bdf"));
    print_text(grey.font, 100, 100, "H");
  }
  const int top = WINDOW_HEIGHT - 1 - 102;
  EXPECT_PIXEL(100, top, BLACK);
  EXPECT_PIXEL(101, top, (rgb{28, 28, 28}));
  EXPECT_PIXEL(102, top, (rgb{113, 113, 113}));
  EXPECT_PIXEL(103, top, WHITE);
}

TEST_F(TextGlTest, GlyphThatCannotBeRenderedRaisesAnError) {
  FT_Library library;
  ASSERT_EQ(FT_Init_FreeType(&library), 0);
  FT_Face face;
  ASSERT_EQ(FT_New_Face(library, test_font_source(), 0, &face), 0);
  FT_Set_Char_Size(face, 12 * 64, 12 * 64, 96, 96);
  // Without the grey renderer outline glyphs cannot become bitmaps.
  FT_Remove_Module(library, FT_Get_Module(library, "smooth"));
  test_font font;
  try {
    make_glyph_list(face, 'H', font.font);
    ADD_FAILURE() << "no error raised";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "FT_Glyph_To_Bitmap failed");
  }
  FT_Done_Face(face);
  FT_Done_FreeType(library);
}

}  // namespace
