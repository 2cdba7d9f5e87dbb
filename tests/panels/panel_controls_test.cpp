// The controls that a MIDI controller moves: every knob of the knob table over
// its declared range, its widget turned by the table's rule, and every switch
// of the switch table set (not toggled) from position 64.
#include "panel_controls.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "notes.h"
#include "panel_test_support.h"

namespace {

using namespace panel_test;

// A knob's value in the unit of its range: note knobs store hertz.
double in_range_unit(const knob& k, double value) {
  return k.range.in_notes ? 12.0 * std::log2(value / tempered_note_frequency(0)) : value;
}

std::string key_of(const char* key, int32_t step) {
  char formatted[64];
  std::snprintf(formatted, sizeof formatted, key, step);
  return formatted;
}

TEST(PanelControls, TemperedNotesCountFromTheLowestNote) {
  EXPECT_NEAR(tempered_note_frequency(69), 440.0, 1e-4);
  EXPECT_NEAR(tempered_note_frequency(36), note_to_frequency(36), 1e-5);  // C, 65.41 Hz
  EXPECT_NEAR(tempered_note_frequency(61) / tempered_note_frequency(60), std::exp2(1.0 / 12),
              1e-12);
}

TEST(PanelControls, EveryKnobFollowsAControllerOverItsRangeAndTurnsByItsRule) {
  int knobs = 0;
  for (const knob& k : knob_table()) {
    if (k.down == nullptr) continue;
    ++knobs;
    const int32_t step = std::max(k.count, 1) - 1;  // the last of a row of note knobs
    const std::string key = key_of(k.key, step);
    SCOPED_TRACE(key);
    auto panel = make_panel(k.panel);
    const std::optional<panel_control> control = find_control(k.panel, key);
    ASSERT_TRUE(control.has_value());
    EXPECT_EQ(control->knob_entry, &k);
    EXPECT_EQ(control->step, step);

    // A float holds the ends to about seven digits; an int field to the
    // nearest whole number.
    const double low = k.range.low, high = k.range.high;
    const double slack = k.integral ? 0.5 : 1e-6 * std::max(std::abs(low), std::abs(high));
    const double start = in_range_unit(k, k.value(*panel, step));
    EXPECT_LE(low, high);
    EXPECT_GE(start, low - slack) << "the knob starts below its range";
    EXPECT_LE(start, high + slack) << "the knob starts above its range";

    SPRITE& widget = add_widget(*panel, key);
    double at[3];
    const int32_t positions[3] = {0, 64, 127};
    for (int i = 0; i < 3; ++i) {
      move_control(*panel, *control, positions[i], &widget);
      const double value = k.value(*panel, step);
      EXPECT_EQ(widget.angle, knob_angle(k, value)) << positions[i];
      at[i] = in_range_unit(k, value);
    }
    EXPECT_NEAR(at[0], low, slack);
    EXPECT_NEAR(at[2], high, slack);
    // 64 is half a position above the middle of the 127 between the ends.
    EXPECT_NEAR(at[1], (low + high) / 2 + (high - low) / 254, slack + 1e-9);
  }
  EXPECT_GT(knobs, 0);
}

TEST(PanelControls, EverySwitchIsSetOnFrom64AndShowsIt) {
  for (const switch_button& s : switch_table()) {
    const int32_t step = std::max(s.count, 1) - 1;
    const std::string key = key_of(s.key, step);
    SCOPED_TRACE(key);
    auto panel = make_panel(s.panel);
    const std::optional<panel_control> control = find_control(s.panel, key);
    ASSERT_TRUE(control.has_value());
    ASSERT_EQ(control->switch_entry, &s);
    SPRITE& widget = add_widget(*panel, key);
    // A controller sets; a repeated value leaves the switch where it is.
    for (int32_t position : {127, 127, 63, 0, 0, 64}) {
      move_control(*panel, *control, position, &widget);
      EXPECT_EQ(*s.field(*panel, step), position >= 64 ? 1 : 0) << position;
      EXPECT_STREQ(widget.name, position >= 64 ? s.on_picture : s.off_picture) << position;
    }
    // The click still toggles the same switch.
    release(*panel, widget);
    EXPECT_EQ(*s.field(*panel, step), 0);
  }
}

}  // namespace
