// The widget chain: ZEM_ENGINE (identity and names) -> BASE (position) ->
// RECTANGLE (size) -> SPRITE (textured, rotatable, hit-testable image) -> LABEL.
// Coordinates are those of the 2D projection: 800 x 625, origin top-left, y down.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "name_field.h"

// x truncated towards zero; values beyond the 32-bit range stop at its ends
// and NaN gives 0, so no conversion is undefined.
int32_t truncate_to_int(float x);

// Every construction of a widget-chain object takes the next number.
extern uint32_t instance_counter;

// Pointer position in window pixels, recorded by the input loop and used by
// find_widget_at.
extern int pointer_x;
extern int pointer_y;

class ZEM_ENGINE {
 public:
  explicit ZEM_ENGINE(const char* name);
  virtual ~ZEM_ENGINE() = default;
  virtual int32_t refresh() { return 0; }
  // Reserved entry point with two 32-bit arguments; nothing calls it.
  virtual int32_t hook(int32_t, int32_t) { return 0; }

  void set_name(const char* text) { copy_name_field(name, text); }
  void set_control_name(const char* text) { copy_name_field(control_name, text); }

  uint32_t id;
  char name[NAME_FIELD_SIZE];
  char control_name[NAME_FIELD_SIZE];
};

class BASE : public ZEM_ENGINE {
 public:
  // The name argument is replaced by "BASE_ITEM_<id>".
  BASE(float x, float y, float z, const char* name);
  virtual void set_position(float new_x, float new_y, float new_z) {
    x = new_x;
    y = new_y;
    z = new_z;
  }
  virtual void set_x(float new_x) { x = new_x; }
  virtual void set_y(float new_y) { y = new_y; }
  virtual void set_z(float new_z) { z = new_z; }

  float x;
  float y;
  float z;
};

class RECTANGLE : public BASE {
 public:
  RECTANGLE(float x, float y, float z, float width, float height, float depth, const char* name);

  float width;
  float height;
  float depth;
};

class SPRITE : public RECTANGLE {
 public:
  SPRITE(const char* name, int32_t x, int32_t y, int32_t angle);

  // Notes what differs from the last draw (position, angle, text); returns 0.
  int32_t refresh() override;
  // Draws the sprite with its texture (and mask) in the 2D projection; returns 0.
  // Needs a GL context: defined in the GL part of the toolkit.
  int32_t draw();
  // 1 when the probe's position lies in [x, x + width] x [y, y + height]
  // (every value truncated to an integer first), else 0.
  int32_t contains(const BASE& probe) const;

  int32_t touched = 0;
  int32_t pressed = 0;
  int32_t drawn_x;
  int32_t drawn_y;
  int32_t changed = 0;
  int32_t text_changed = 0;
  int32_t angle;
  int32_t shown_angle;
  int32_t mask_texture = 0;
  std::string pending_text;
  std::string text;
  char mask_name[NAME_FIELD_SIZE] = {};
};

class LABEL : public SPRITE {
 public:
  // The first argument is not used; the three integers are stored as given.
  LABEL(int32_t value, int32_t x, int32_t y, int32_t first, int32_t second, int32_t third);
  int32_t refresh() override { return 0; }

  int32_t first;
  int32_t second;
  int32_t third;
};

// The widget under the pointer (pointer_x, pointer_y): an empty list or the
// index of the first item, in list order, whose area holds the pointer.
// Items whose name contains "BACK" (backgrounds) are never picked.
std::vector<int> find_widget_at(const std::vector<SPRITE*>& items);
// The same for an explicit pointer position.
std::vector<int> find_widget_at(const std::vector<SPRITE*>& items, int at_x, int at_y);

// Draws a textured quad with corners (+-b, +-a) about (x, y, z) after rotating
// by rot_x, rot_y, rot_z degrees about the three axes. Texturing stays enabled.
// A redraw that the scissor limits to a small part of the window sets that
// area of the 2D projection (y down): what lies wholly outside it need not be
// sent. SPRITE::draw skips such sprites, and text drawers ask
// outside_drawn_area. nullptr: everything is drawn.
struct drawn_area {
  float left, top, right, bottom;
};
void set_drawn_area(const drawn_area* area);
// Whether the box lies wholly outside the drawn area (never while none is set).
bool outside_drawn_area(const drawn_area& box);

void draw_textured_quad(uint32_t texture, float x, float y, float z, float rot_x, float rot_y,
                        float rot_z, float a, float b);
