#include "widget_marks.h"

#include <GL/gl.h>

#include <algorithm>

#include "instrument_gui.h"

namespace {
const SPRITE* marked = nullptr;

// Amber, a colour that no panel uses, two pixels wide, just outside the
// widget's picture (drawn at twice its size about its centre).
constexpr GLubyte mark_colour[] = {255, 160, 0};
constexpr float mark_width = 2.0f;
constexpr float mark_gap = 2.0f;
}  // namespace

void mark_widget(const SPRITE* widget) {
  marked = widget;
}

const SPRITE* marked_widget() {
  return marked;
}

void draw_widget_mark(const INSTRUMENT_GUI& panel) {
  if (marked == nullptr) return;
  if (std::find(panel.items.begin(), panel.items.end(), marked) == panel.items.end()) return;
  const float half_width = marked->width + mark_gap;
  const float half_height = marked->height + mark_gap;
  glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LINE_BIT);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
  glDisable(GL_DEPTH_TEST);
  glLineWidth(mark_width);
  glColor3ubv(mark_colour);
  glBegin(GL_LINE_LOOP);
  glVertex2f(marked->x - half_width, marked->y - half_height);
  glVertex2f(marked->x + half_width, marked->y - half_height);
  glVertex2f(marked->x + half_width, marked->y + half_height);
  glVertex2f(marked->x - half_width, marked->y + half_height);
  glEnd();
  glPopAttrib();
}
