// The generated textures drawn by the real toolkit in a real window: knobs
// and lights sit on the panel without a box, knobs turn the right way, and
// a picture of a whole mock window is left in art_frame.bmp for people to
// look at.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "bmp.h"
#include "catalogue.h"
#include "mock_window.h"
#include "texture_library.h"
#include "video.h"
#include "widget.h"

namespace {

struct screen_pixel {
  int r, g, b;
};

screen_pixel pixel_at(int x, int y) {
  GLubyte p[3];
  glReadBuffer(GL_BACK);
  glReadPixels(x, WINDOW_HEIGHT - 1 - y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, p);
  return {p[0], p[1], p[2]};
}

bool near(screen_pixel a, screen_pixel b) {
  return std::abs(a.r - b.r) <= 6 && std::abs(a.g - b.g) <= 6 && std::abs(a.b - b.b) <= 6;
}

void draw_widget(const std::string& texture, float x, float y, float width, float height,
                 float angle) {
  SPRITE sprite("", 100, 100, 0);
  sprite.set_name(texture.c_str());
  const std::string mask = zem::art::mask_of(texture);
  sprite.mask_texture = mask.empty() ? 0 : texture_library->find_texture(mask.c_str());
  sprite.set_position(x, y, 0);
  sprite.width = width;
  sprite.height = height;
  sprite.angle = static_cast<int32_t>(angle);
  sprite.draw();
}

class ArtFrameGlTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const std::filesystem::path here = std::filesystem::current_path();
    std::filesystem::current_path(ZEM_RUNTIME_DIR);
    ASSERT_EQ(init_video(), 1);
    std::filesystem::current_path(here);
  }

  void SetUp() override {
    ASSERT_NE(texture_library, nullptr);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor3ub(255, 255, 255);
    push_2d_projection(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT);
    draw_widget("BACK_OSC", 400, 62.5f, 400, 62.5f, 0);
  }
  void TearDown() override { pop_2d_projection(); }
};

}  // namespace

TEST_F(ArtFrameGlTest, KnobShowsWithoutABoxAndTurnsClockwiseFromNineOClock) {
  const screen_pixel corner = pixel_at(182, 42);
  draw_widget("KNOB", 200, 60, 20, 20, 0);
  EXPECT_TRUE(near(pixel_at(182, 42), corner)) << "the quad's corner keeps the panel";
  EXPECT_GT(pixel_at(186, 60).r, 200) << "pointer at 9 o'clock";
  EXPECT_LT(pixel_at(200, 46).r, 160);
  draw_widget("BACK_OSC", 400, 62.5f, 400, 62.5f, 0);
  draw_widget("KNOB", 200, 60, 20, 20, 90);
  EXPECT_GT(pixel_at(200, 46).r, 200) << "a quarter turn clockwise points up";
  EXPECT_LT(pixel_at(186, 60).r, 160);
}

TEST_F(ArtFrameGlTest, LitLightGlowsAndLeavesThePanelAround) {
  const screen_pixel around = pixel_at(391, 51);
  draw_widget("CHK_2_ON", 400, 60, 10, 10, 0);
  const screen_pixel centre = pixel_at(400, 60);
  EXPECT_GT(centre.g, 200);
  EXPECT_GT(centre.g, centre.r + 40);
  EXPECT_TRUE(near(pixel_at(391, 51), around));
  draw_widget("CHK_2_OFF", 500, 60, 10, 10, 0);
  EXPECT_LT(pixel_at(500, 60).g, 100);
}

TEST_F(ArtFrameGlTest, UnknownNameShowsTheNeutralPlate) {
  draw_widget("NO_SUCH_TEXTURE", 600, 60, 10, 10, 0);
  const screen_pixel c = pixel_at(600, 60);
  EXPECT_EQ(c.r, c.g);
  EXPECT_EQ(c.g, c.b);
  EXPECT_GT(c.r, 40);
  EXPECT_LT(c.r, 110);
}

// The whole mock window; also written to art_frame.bmp in the test's folder.
TEST_F(ArtFrameGlTest, MockWindowIsCoveredByThePanels) {
  zem::art::lay_out_mock_window(draw_widget);
  std::vector<GLubyte> rgb(3 * WINDOW_WIDTH * WINDOW_HEIGHT);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  zem::art::rgb_image frame(WINDOW_WIDTH, WINDOW_HEIGHT);
  int black = 0;
  for (int y = 0; y < WINDOW_HEIGHT; ++y) {
    for (int x = 0; x < WINDOW_WIDTH; ++x) {
      const GLubyte* p = &rgb[3 * ((WINDOW_HEIGHT - 1 - y) * WINDOW_WIDTH + x)];
      frame.at(x, y) = {p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f};
      black += p[0] == 0 && p[1] == 0 && p[2] == 0;
    }
  }
  zem::art::write_bmp("art_frame.bmp", frame);
  // Only a few pure black pixels (pointer grooves); no uncovered band, no box.
  EXPECT_LT(black, 100);
}
