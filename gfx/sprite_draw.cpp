// The GL half of the widget chain: drawing sprites.
#include <GL/gl.h>

#include <cmath>
#include <optional>

#include "texture_library.h"
#include "widget.h"

void draw_textured_quad(uint32_t texture, float x, float y, float z, float rot_x, float rot_y,
                        float rot_z, float a, float b) {
  glPushMatrix();
  glTranslatef(x, y, z);
  glRotatef(rot_x, 1, 0, 0);
  glRotatef(rot_y, 0, 1, 0);
  glRotatef(rot_z, 0, 0, 1);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, texture);
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0);
  glVertex3f(-b, a, 0);
  glTexCoord2f(0, 1);
  glVertex3f(b, a, 0);
  glTexCoord2f(1, 1);
  glVertex3f(b, -a, 0);
  glTexCoord2f(1, 0);
  glVertex3f(-b, -a, 0);
  glEnd();
  glPopMatrix();
}

namespace {

uint32_t texture_named(const char* name) {
  return texture_library ? static_cast<uint32_t>(texture_library->find_texture(name)) : 0;
}

std::optional<drawn_area> limit;

}  // namespace

void set_drawn_area(const drawn_area* area) {
  if (area != nullptr)
    limit = *area;
  else
    limit.reset();
}

bool outside_drawn_area(const drawn_area& box) {
  return limit && (box.right < limit->left || box.left > limit->right || box.bottom < limit->top ||
                   box.top > limit->bottom);
}

int32_t SPRITE::draw() {
  refresh();
  changed = 0;
  drawn_x = truncate_to_int(x);
  drawn_y = truncate_to_int(y);
  // Turned by a further 270 degrees with a = -width and b = height, the quad
  // shows the bottom-row-first images upright at twice the stored size.
  const float quad_x = static_cast<float>(drawn_x);
  const float quad_y = static_cast<float>(drawn_y);
  const float turn = static_cast<float>(angle) + 270.0f;  // no overflow at any angle
  // Turned at any angle, the quad stays within its half-diagonal of the centre.
  const float reach = std::hypot(width, height);
  if (outside_drawn_area({quad_x - reach, quad_y - reach, quad_x + reach, quad_y + reach}))
    return 0;
  if (mask_texture == 0) {
    draw_textured_quad(texture_named(name), quad_x, quad_y, z, 0, 0, turn, -width, height);
    return 0;
  }
  // The mask multiplies what is already there (black cuts a hole, white keeps
  // the background), then the image is added into the hole.
  glDisable(GL_DEPTH_TEST);
  glBlendFunc(GL_DST_COLOR, GL_ZERO);
  glEnable(GL_BLEND);
  draw_textured_quad(static_cast<uint32_t>(mask_texture), quad_x, quad_y, z, 0, 0, turn, -width,
                     height);
  glBlendFunc(GL_ONE, GL_ONE);
  draw_textured_quad(texture_named(name), quad_x, quad_y, z, 0, 0, turn, -width, height);
  glDisable(GL_BLEND);
  glEnable(GL_DEPTH_TEST);
  return 0;
}
