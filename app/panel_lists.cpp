#include "panel_lists.h"

#include <algorithm>

panel_list instrument_panels{};
std::vector<int32_t> dirty_list;

namespace {
struct pointer_hit {
  int32_t panel = instrument_count;
  SPRITE* widget = nullptr;
};

pointer_hit hit_under_pointer() {
  for (int32_t i = 0; i < instrument_count; ++i) {
    INSTRUMENT_GUI* panel = instrument_panels[i];
    if (panel == nullptr || panel->items.empty()) continue;
    const std::vector<int> found = find_widget_at(panel->items);
    if (!found.empty()) return {i, panel->items[found.front()]};
  }
  return {};
}
}  // namespace

void mark_dirty(int32_t index) {
  if (std::find(dirty_list.begin(), dirty_list.end(), index) == dirty_list.end())
    dirty_list.push_back(index);
}

int32_t find_panel(int32_t number) {
  for (int32_t i = 0; i < instrument_count; ++i) {
    if (instrument_panels[i] != nullptr && instrument_panels[i]->instrument_number == number)
      return i;
  }
  return -1;
}

SPRITE* widget_under_pointer() {
  return hit_under_pointer().widget;
}

int32_t panel_under_pointer() {
  return hit_under_pointer().panel;
}
