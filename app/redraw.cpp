#include "redraw.h"

#include <GL/gl.h>

#include <algorithm>

#include "next_power_of_two.h"
#include "panel_lists.h"
#include "rack_keys.h"
#include "video.h"

namespace {
// The last presented picture: a square texture whose lower-left part holds
// the window's width x height pixels.
struct kept_picture {
  GLuint texture = 0;
  int size = 0;
  int width = 0;
  int height = 0;
};
kept_picture kept;

// Copies the back buffer into the kept picture, growing the texture with the window.
void keep_picture() {
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  const int width = viewport[2];
  const int height = viewport[3];
  const int size =
      static_cast<int>(next_power_of_two(static_cast<uint32_t>(std::max(width, height))));
  if (kept.texture == 0) glGenTextures(1, &kept.texture);
  glBindTexture(GL_TEXTURE_2D, kept.texture);
  if (size != kept.size) {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, size, size, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    kept.size = size;
  }
  glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, width, height);
  kept.width = width;
  kept.height = height;
}

// Draws the kept picture over the whole window, inside the 2D projection,
// leaving the GL state as the panels' drawing expects it.
void draw_kept_picture() {
  const float s = static_cast<float>(kept.width) / static_cast<float>(kept.size);
  const float t = static_cast<float>(kept.height) / static_cast<float>(kept.size);
  glPushAttrib(GL_ENABLE_BIT | GL_TEXTURE_BIT | GL_CURRENT_BIT);
  glDisable(GL_BLEND);
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, kept.texture);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  // The texture's rows run from the bottom of the window, the projection's from the top.
  glBegin(GL_QUADS);
  glTexCoord2f(0, t);
  glVertex2f(0, 0);
  glTexCoord2f(s, t);
  glVertex2f(WINDOW_WIDTH, 0);
  glTexCoord2f(s, 0);
  glVertex2f(WINDOW_WIDTH, WINDOW_HEIGHT);
  glTexCoord2f(0, 0);
  glVertex2f(0, WINDOW_HEIGHT);
  glEnd();
  glPopAttrib();
}

void draw_whole_rack() {
  // Cleared first: a spot that no widget covers shows black, never garbage.
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  push_2d_projection(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT);
  for (INSTRUMENT_GUI* panel : instrument_panels) panel->update_view();
  pop_2d_projection();
  keep_picture();
  draw_rack_readout();
  present_frame();
}
}  // namespace

void draw_first_picture() {
  draw_whole_rack();
}

void redraw_rack(bool whole) {
  if (whole || kept.texture == 0) {
    for (int32_t index : dirty_list) instrument_panels[index]->process_events();
    draw_whole_rack();
    return;
  }
  push_2d_projection(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT);
  draw_kept_picture();
  for (int32_t index : dirty_list) {
    instrument_panels[index]->process_events();
    instrument_panels[index]->update_view();
  }
  pop_2d_projection();
  keep_picture();
  draw_rack_readout();
  present_frame();
}
