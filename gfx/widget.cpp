#include "widget.h"

#include <cmath>
#include <cstdio>
#include <cstring>

uint32_t instance_counter = 0;
int pointer_x = 0;
int pointer_y = 0;

int32_t truncate_to_int(float x) {
  if (std::isnan(x)) return 0;
  if (x >= 2147483648.0f) return INT32_MAX;
  if (x <= -2147483648.0f) return INT32_MIN;
  return static_cast<int32_t>(x);
}

ZEM_ENGINE::ZEM_ENGINE(const char* name) : id(instance_counter++), name{}, control_name{} {
  set_name(name);
}

BASE::BASE(float x, float y, float z, const char* name) : ZEM_ENGINE(name), x(x), y(y), z(z) {
  char own_name[NAME_FIELD_SIZE];
  std::snprintf(own_name, sizeof own_name, "BASE_ITEM_%20lu", static_cast<unsigned long>(id));
  set_name(own_name);
}

RECTANGLE::RECTANGLE(float x, float y, float z, float width, float height, float depth,
                     const char* name)
    : BASE(x, y, z, name), width(width), height(height), depth(depth) {}

SPRITE::SPRITE(const char* name, int32_t x, int32_t y, int32_t angle)
    : RECTANGLE(static_cast<float>(x), static_cast<float>(y), 0, 0, 0, 0, name),
      drawn_x(x),
      drawn_y(y),
      angle(angle),
      shown_angle(angle),
      pending_text(name ? name : ""),
      text(name ? name : "") {
  set_name(name);
}

int32_t SPRITE::refresh() {
  if (angle != shown_angle) {
    shown_angle = angle;
    changed = 1;
  }
  if (static_cast<float>(drawn_x) != x) {
    drawn_x = truncate_to_int(x);
    changed = 1;
  }
  if (static_cast<float>(drawn_y) != y) {
    drawn_y = truncate_to_int(y);
    changed = 1;
  }
  if (text != pending_text) {
    text = pending_text;
    text_changed = 1;
    changed = 1;
  }
  return 0;
}

int32_t SPRITE::contains(const BASE& probe) const {
  // Each value is truncated on its own; the sums are taken in 64 bits.
  const int64_t px = truncate_to_int(probe.x);
  const int64_t py = truncate_to_int(probe.y);
  const int64_t left = truncate_to_int(x);
  const int64_t top = truncate_to_int(y);
  const int64_t w = truncate_to_int(width);
  const int64_t h = truncate_to_int(height);
  return px >= left && px <= w + left && py >= top && py <= h + top ? 1 : 0;
}

LABEL::LABEL(int32_t /*value*/, int32_t x, int32_t y, int32_t first, int32_t second, int32_t third)
    : SPRITE("IMG_001", 100, 100, 0), first(first), second(second), third(third) {
  this->x = static_cast<float>(x);
  this->y = static_cast<float>(y);
}

std::vector<int> find_widget_at(const std::vector<SPRITE*>& items, int at_x, int at_y) {
  std::vector<int> found;
  for (std::size_t i = 0; i < items.size(); ++i) {
    const SPRITE& item = *items[i];
    // The probe is shifted by half the widget's size so that the widget answers
    // for the area centred on its position.
    BASE probe(static_cast<float>(at_x), static_cast<float>(at_y), 0, "");
    probe.x += item.width / 2;
    probe.y += item.height / 2;
    if (std::strstr(item.name, "BACK") == nullptr && item.contains(probe)) {
      found.push_back(static_cast<int>(i));
      break;
    }
  }
  return found;
}

std::vector<int> find_widget_at(const std::vector<SPRITE*>& items) {
  return find_widget_at(items, pointer_x, pointer_y);
}
