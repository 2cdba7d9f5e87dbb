#include "redraw.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "live_panels.h"
#include "next_power_of_two.h"
#include "panel_lists.h"
#include "rack_keys.h"
#include "recording_display.h"
#include "video.h"
#include "widget.h"

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

// Whether the back buffer holds the picture on the screen: after areas were
// presented from it, and until the next swap leaves it undefined.
bool back_holds_picture = false;

// Whether the window shows the rack's read-out: the frame that takes it away
// goes to the window whole, not only its changed areas.
bool readout_on_screen = false;

// Whole frames still to draw. A whole frame follows a resize, but while
// frames went out in areas, with no swap, the GL buffers may still have the
// old size when it is drawn: they take the new one at its swap, so the frame
// after it is drawn whole as well.
int whole_frames_owed = 0;

// The window pixels that cover an area of the projection, and a pixel around.
window_area pixels_of(const view_area& area) {
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  const double sx = static_cast<double>(viewport[2]) / WINDOW_WIDTH;
  const double sy = static_cast<double>(viewport[3]) / WINDOW_HEIGHT;
  const auto left = static_cast<GLint>(std::floor(area.left * sx)) - 1;
  const auto right = static_cast<GLint>(std::ceil(area.right * sx)) + 1;
  const auto bottom = static_cast<GLint>(std::floor((WINDOW_HEIGHT - area.bottom) * sy)) - 1;
  const auto top = static_cast<GLint>(std::ceil((WINDOW_HEIGHT - area.top) * sy)) + 1;
  const GLint x = std::clamp(left, 0, viewport[2]);
  const GLint y = std::clamp(bottom, 0, viewport[3]);
  return {viewport[0] + x, viewport[1] + y, std::clamp(right, 0, viewport[2]) - x,
          std::clamp(top, 0, viewport[3]) - y};
}

// Copies the back buffer into the kept picture, growing the texture with the
// window: all of it, or only the boxes given.
void keep_picture(const std::vector<window_area>* boxes = nullptr) {
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
  if (boxes != nullptr && kept.width == width && kept.height == height) {
    for (const window_area& b : *boxes)
      glCopyTexSubImage2D(GL_TEXTURE_2D, 0, b.x - viewport[0], b.y - viewport[1], b.x, b.y, b.width,
                          b.height);
  } else {
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, width, height);
  }
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
  for (int32_t index = 0; index < instrument_count; ++index) {
    take_moved_area(index);
    show_playing_state(index);
    instrument_panels[index]->update_view();
  }
  draw_recording_mark();
  pop_2d_projection();
  keep_picture();
  draw_rack_readout();
  present_frame();
  back_holds_picture = false;
  readout_on_screen = rack_readout_shown();
}
}  // namespace

void draw_first_picture() {
  draw_whole_rack();
}

void redraw_rack(bool whole) {
  if (whole) whole_frames_owed = 2;
  if (whole_frames_owed > 0 || kept.texture == 0) {
    whole_frames_owed = std::max(whole_frames_owed - 1, 0);
    for (int32_t index : dirty_list) instrument_panels[index]->process_events();
    draw_whole_rack();
    return;
  }
  push_2d_projection(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT);
  if (!back_holds_picture) draw_kept_picture();
  // A panel whose step alone moved is drawn only over its two step lights.
  std::vector<window_area> boxes;
  bool whole_panel = false;
  for (int32_t index : dirty_list) {
    instrument_panels[index]->process_events();
    const std::optional<view_area> area = take_moved_area(index);
    if (area) {
      boxes.push_back(pixels_of(*area));
      glEnable(GL_SCISSOR_TEST);
      glScissor(boxes.back().x, boxes.back().y, boxes.back().width, boxes.back().height);
      const drawn_area drawn{area->left, area->top, area->right, area->bottom};
      set_drawn_area(&drawn);
    }
    whole_panel = whole_panel || !area;
    show_playing_state(index);
    instrument_panels[index]->update_view();
    set_drawn_area(nullptr);
    glDisable(GL_SCISSOR_TEST);
  }
  draw_recording_mark();
  pop_2d_projection();
  keep_picture(whole_panel ? nullptr : &boxes);
  // The rack's read-out lies over the picture, never in the kept one.
  draw_rack_readout();
  // Only lights changed: where it can, only their areas go to the window,
  // and the back buffer stays as the picture on the screen.
  back_holds_picture =
      !whole_panel && !rack_readout_shown() && !readout_on_screen && can_present_areas();
  readout_on_screen = rack_readout_shown();
  if (back_holds_picture)
    present_areas(boxes.data(), static_cast<int>(boxes.size()));
  else
    present_frame();
}
