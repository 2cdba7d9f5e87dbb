#include "live_panels.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "name_field.h"
#include "panel_lists.h"
#include "panel_names.h"
#include "step_event_rings.h"

namespace {
struct sequencer_state {
  int32_t step = 0;
  int32_t pattern = 0;
  int32_t pattern_count = 0;
  bool operator==(const sequencer_state&) const = default;
};

sequencer_state state_of(const INSTRUMENT_GUI& panel) {
  return {panel.current_step, panel.current_pattern, panel.pattern_count};
}

struct panel_follow {
  bool drawn = false;
  sequencer_state shown;                   // what the last drawing showed
  std::optional<sequencer_state> pending;  // what the next drawing shows, taken when marked
  std::optional<view_area> area;           // the part of it to draw
  bool pass_end_alone = false;             // marked only by a pass end of the shown pattern
};
std::array<panel_follow, instrument_count> follows;

// The area that step light `step` is drawn in; nothing when the panel has no
// light for it (it then shows no change).
bool is_marked(int32_t index) {
  return std::find(dirty_list.begin(), dirty_list.end(), index) != dirty_list.end();
}

std::optional<view_area> light_area(const INSTRUMENT_GUI& panel, int32_t step) {
  char name[NAME_FIELD_SIZE];
  std::snprintf(name, sizeof name, "BUTTON_ACT_NOTE_%d_INSTRUMENT_%d", static_cast<int>(step),
                static_cast<int>(panel.instrument_number));
  const SPRITE* light = find_named(name, panel.items);
  if (light == nullptr) return std::nullopt;
  // Drawn at twice its size, turned: a square of twice the larger side,
  // and a pixel more for the edges.
  const float reach = 2 * std::max(light->width, light->height) + 1;
  return view_area{light->x - reach, light->y - reach, light->x + reach, light->y + reach};
}

std::optional<view_area> joined(std::optional<view_area> a, std::optional<view_area> b) {
  if (!a) return b;
  if (!b) return a;
  return view_area{std::min(a->left, b->left), std::min(a->top, b->top),
                   std::max(a->right, b->right), std::max(a->bottom, b->bottom)};
}
}  // namespace

void take_step_events() {
  for (int32_t index = 0; index < instrument_count; ++index) {
    // A ring holds at most its capacity, so this ends however fast the
    // events come; only the last pass end of the turn needs showing.
    int32_t last_pattern = -1;
    bool pass_ended = false;
    step_event event{};
    while (take_step_event(static_cast<size_t>(index), event)) {
      if (event.code != pass_end_event_code) continue;
      pass_ended = true;
      last_pattern = event.number;
    }
    if (!pass_ended) continue;
    instrument_panels[index]->show_pattern(last_pattern);
    // When the pattern that it shows stays, the step that moved with the
    // pass end decides how much of the panel is drawn (mark_moved_sequencers).
    panel_follow& follow = follows[index];
    follow.pass_end_alone =
        follow.drawn && last_pattern == follow.shown.pattern && !is_marked(index);
    mark_dirty(index);
  }
}

void mark_moved_sequencers() {
  for (int32_t index = 0; index < instrument_count; ++index) {
    const INSTRUMENT_GUI* panel = instrument_panels[index];
    panel_follow& follow = follows[index];
    if (panel == nullptr || !follow.drawn) continue;
    const sequencer_state now = state_of(*panel);
    if (now == follow.shown) continue;
    const bool marked = is_marked(index) && !follow.pass_end_alone;
    follow.pending = now;
    follow.area.reset();
    if (!marked && now.pattern == follow.shown.pattern &&
        now.pattern_count == follow.shown.pattern_count) {
      follow.area = joined(light_area(*panel, follow.shown.step), light_area(*panel, now.step));
      // Neither step has a light: nothing to see, only to remember.
      if (!follow.area) {
        follow.shown = now;
        follow.pending.reset();
        continue;
      }
    }
    mark_dirty(index);
  }
}

std::optional<view_area> take_moved_area(int32_t index) {
  std::optional<view_area> area = follows[index].area;
  follows[index].area.reset();
  follows[index].pass_end_alone = false;
  return area;
}

void show_playing_state(int32_t index) {
  INSTRUMENT_GUI& panel = *instrument_panels[index];
  panel_follow& follow = follows[index];
  follow.shown = follow.pending.value_or(state_of(panel));
  follow.pending.reset();
  follow.drawn = true;
  panel.show_current_step(follow.shown.step);
  panel.show_pattern(follow.shown.pattern);
}
