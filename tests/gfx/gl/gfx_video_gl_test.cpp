// Viewport, projections and the frame-rate caption of the real window.
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <string>

#include "frame_rate.h"
#include "gfx_gl_window.h"

namespace {

using namespace gfx_test;

class VideoGlTest : public GlWindowTest {};

void window_position(double x, double y, double out[3]) {
  GLdouble modelview[16], projection[16];
  GLint viewport[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  gluProject(x, y, 0, modelview, projection, viewport, &out[0], &out[1], &out[2]);
}

TEST_F(VideoGlTest, WindowAndStateAfterStartUp) {
  ASSERT_NE(screen_surface, nullptr);
  EXPECT_EQ(screen_surface->w, WINDOW_WIDTH);
  EXPECT_EQ(screen_surface->h, WINDOW_HEIGHT);
  const Uint32 accelerated = SDL_GetVideoInfo()->blit_hw ? SDL_HWACCEL : 0;
  EXPECT_EQ(video_flags, 0x20000017u | accelerated);
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  GLint depth_function = 0;
  glGetIntegerv(GL_DEPTH_FUNC, &depth_function);
  EXPECT_EQ(depth_function, GL_LEQUAL);
  EXPECT_NE(small_font.list_base, large_font.list_base);
  EXPECT_EQ(large_font.font_height, 12.0f);
}

TEST_F(VideoGlTest, TwoDimensionalProjectionPutsTheOriginTopLeft) {
  push_2d_projection(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT);
  double corner[3];
  window_position(0, 0, corner);
  EXPECT_NEAR(corner[0], 0, 1e-3);
  EXPECT_NEAR(corner[1], WINDOW_HEIGHT, 1e-3);
  window_position(WINDOW_WIDTH, WINDOW_HEIGHT, corner);
  EXPECT_NEAR(corner[0], WINDOW_WIDTH, 1e-3);
  EXPECT_NEAR(corner[1], 0, 1e-3);
  pop_2d_projection();

  // The perspective projection is current again, with the modelview selected.
  GLdouble projection[16];
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  EXPECT_NE(projection[11], 0.0);
  GLint mode = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_MODELVIEW);
}

TEST_F(VideoGlTest, ResizeToHeightZeroUsesOne) {
  resize_viewport(640, 0);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[3], 1);
  EXPECT_EQ(viewport[2], 640);
  GLfloat projection[16];
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  // gluPerspective puts f / aspect and f on the diagonal: aspect = 640 / 1.
  EXPECT_NEAR(projection[5] / projection[0], 640.0, 1e-2);
  resize_viewport(WINDOW_WIDTH, WINDOW_HEIGHT);
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[3], WINDOW_HEIGHT);
}

Uint32 fake_now = 0;
Uint32 fake_ticks() {
  return fake_now;
}

TEST_F(VideoGlTest, FrameRateReachesTheCaption) {
  frame_ticks = fake_ticks;
  frame_count = 0;
  last_report_ticks = 0;
  char* title = nullptr;
  char* icon = nullptr;
  fake_now = 4999;
  present_frame();
  SDL_WM_GetCaption(&title, &icon);
  EXPECT_TRUE(title == nullptr || std::string(title).empty());
  fake_now = 10000;
  present_frame();
  SDL_WM_GetCaption(&title, &icon);
  ASSERT_NE(title, nullptr);
  EXPECT_STREQ(title, "2 frames in 10 seconds = 0.2 FPS\n");
  frame_ticks = SDL_GetTicks;
}

}  // namespace
