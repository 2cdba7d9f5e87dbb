#include "redraw.h"

#include <GL/gl.h>

#include "panel_lists.h"
#include "video.h"

namespace {
void draw_all_panels() {
  // Clearing first means a spot that no widget covers (where a moved widget
  // was, or outside the panels) shows black rather than an older frame.
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  push_2d_projection(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT);
  for (INSTRUMENT_GUI* panel : instrument_panels) panel->update_view();
  pop_2d_projection();
  present_frame();
}
}  // namespace

void draw_first_picture() {
  draw_all_panels();
}

void redraw_rack() {
  for (int32_t index : dirty_list) instrument_panels[index]->process_events();
  draw_all_panels();
}
