// Sprites drawn in the 2D projection and read back from the frame.
#include <gtest/gtest.h>

#include "gfx_gl_window.h"
#include "widget.h"

namespace {

using namespace gfx_test;

class SpriteGlTest : public GlWindowTest {
 protected:
  void draw(SPRITE& sprite) {
    push_2d_projection(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT);
    EXPECT_EQ(sprite.draw(), 0);
    pop_2d_projection();
  }
};

SPRITE make_sprite(const char* texture, int x, int y, float width, float height, int angle) {
  SPRITE sprite("", 100, 100, 0);
  sprite.set_name(texture);
  sprite.set_position(static_cast<float>(x), static_cast<float>(y), 0);
  sprite.width = width;
  sprite.height = height;
  sprite.angle = angle;
  return sprite;
}

TEST_F(SpriteGlTest, ImageIsUprightAroundItsCentre) {
  SPRITE sprite = make_sprite("QUADS", 200, 150, 20, 20, 0);
  draw(sprite);
  EXPECT_PIXEL(190, 140, RED);
  EXPECT_PIXEL(210, 140, GREEN);
  EXPECT_PIXEL(190, 160, BLUE);
  EXPECT_PIXEL(210, 160, WHITE);
  EXPECT_EQ(sprite.changed, 0);
}

TEST_F(SpriteGlTest, QuadCoversTwiceTheStoredSize) {
  // Width 30 and height 10 around (400, 300): x 370..430, y 290..310.
  SPRITE sprite = make_sprite("SOLID", 400, 300, 30, 10, 0);
  draw(sprite);
  EXPECT_PIXEL(372, 300, YELLOW);
  EXPECT_PIXEL(427, 300, YELLOW);
  EXPECT_PIXEL(367, 300, BLACK);
  EXPECT_PIXEL(432, 300, BLACK);
  EXPECT_PIXEL(400, 292, YELLOW);
  EXPECT_PIXEL(400, 307, YELLOW);
  EXPECT_PIXEL(400, 287, BLACK);
  EXPECT_PIXEL(400, 312, BLACK);
}

TEST_F(SpriteGlTest, PositiveAngleTurnsClockwise) {
  SPRITE sprite = make_sprite("QUADS", 200, 150, 20, 20, 90);
  draw(sprite);
  EXPECT_PIXEL(210, 140, RED);
  EXPECT_PIXEL(210, 160, GREEN);
  EXPECT_PIXEL(190, 160, WHITE);
  EXPECT_PIXEL(190, 140, BLUE);

  // A quarter turn of a wide sprite stands it on end: x 390..410, y 270..330.
  SPRITE wide = make_sprite("SOLID", 400, 300, 30, 10, 90);
  draw(wide);
  EXPECT_PIXEL(400, 272, YELLOW);
  EXPECT_PIXEL(400, 327, YELLOW);
  EXPECT_PIXEL(385, 300, BLACK);
  EXPECT_PIXEL(415, 300, BLACK);
}

TEST_F(SpriteGlTest, DrawUsesThePositionTruncated) {
  SPRITE sprite = make_sprite("SOLID", 0, 0, 5, 5, 0);
  sprite.set_position(100.9f, 100.9f, 0);
  draw(sprite);
  EXPECT_EQ(sprite.drawn_x, 100);
  // Truncated to 100: the quad spans 95..105, so pixel 105 stays dark.
  EXPECT_PIXEL(104, 100, YELLOW);
  EXPECT_PIXEL(105, 100, BLACK);

  // Far-off positions and angles stop at the ends of the integer range.
  sprite.set_position(3e9f, -3e9f, 0);
  sprite.angle = INT32_MAX;
  draw(sprite);
  EXPECT_EQ(sprite.drawn_x, INT32_MAX);
  EXPECT_EQ(sprite.drawn_y, INT32_MIN);
}

TEST_F(SpriteGlTest, UnknownNameShowsTheFirstTexture) {
  SPRITE sprite = make_sprite("NO_SUCH_TEXTURE", 300, 300, 10, 10, 0);
  draw(sprite);
  EXPECT_PIXEL(300, 300, MAGENTA);
}

TEST_F(SpriteGlTest, MaskKeepsTheBackgroundWhereWhiteAndCutsWhereBlack) {
  glClearColor(0.5f, 0.25f, 1.0f, 0);
  glClear(GL_COLOR_BUFFER_BIT);
  const rgb background = pixel_at(300, 300);
  SPRITE sprite = make_sprite("IMAGE", 300, 300, 20, 20, 0);
  sprite.mask_texture = texture_library->find_texture("MASK");
  draw(sprite);
  EXPECT_PIXEL(288, 300, background);
  EXPECT_PIXEL(312, 300, GREEN);
  EXPECT_PIXEL(340, 300, background);
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

}  // namespace
