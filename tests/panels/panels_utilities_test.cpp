// The panels' name and text utilities and the widget-event queue.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "instrument_gui.h"
#include "panel_names.h"
#include "widget.h"
#include "widget_event.h"

namespace {

// The control name of a search result, or "none".
std::string found(const SPRITE* item) {
  return item ? item->control_name : "none";
}

TEST(PanelNames, PositionOfMovesPastAPartialMatch) {
  struct {
    const char* text;
    const char* word;
    int32_t position;
  } cases[] = {
      {"BUTTON_TOGGLE_SEQ_3_INSTRUMENT_0", "SEQ", 14},
      {"AAB", "AB", -1},  // the partial match "A" at 0 moves the scan past 1
      {"AAAB", "AAB", -1},
      {"AXAB", "AB", 2},
      {"AB", "AB", 0},
      {"AB", "ABC", -1},
      {"", "A", -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(position_of(c.text, c.word), c.position) << c.word << " in " << c.text;
  }
}

TEST(PanelNames, SearchesSkipLabelsOwnNameAndTheInstrumentSuffix) {
  std::vector<SPRITE> sprites(6, SPRITE("", 0, 0, 0));
  std::vector<SPRITE*> items;
  // Names of 13 characters or fewer come first: cut to nothing, they never match.
  const char* names[] = {"SLD",
                         "ABCDEFGHIJKLM",
                         "SLD_NOTE_2",
                         "LABEL;Cut;SLD_1_BASE_INSTRUMENT_0;;",
                         "SLD_1_BASE_INSTRUMENT_0",
                         "SLD_2_BASE_INSTRUMENT_0"};
  for (std::size_t i = 0; i < sprites.size(); ++i) {
    sprites[i].set_control_name(names[i]);
    items.push_back(&sprites[i]);
  }
  struct {
    const char* pattern;
    const char* own_name;
    const char* expected;
  } companions[] = {
      {"SLD_1", nullptr, "SLD_1_BASE_INSTRUMENT_0"},  // the label before it is skipped
      {"SLD", "SLD_1_BASE_INSTRUMENT_0", "SLD_2_BASE_INSTRUMENT_0"},
      {"INSTRUMENT", nullptr, "none"},  // only the name before its suffix counts
      {"S", "SLD_2_BASE_INSTRUMENT_0", "SLD_1_BASE_INSTRUMENT_0"},
      {"M", nullptr, "none"},
      {"NOTE", nullptr, "none"},
  };
  for (const auto& c : companions) {
    EXPECT_EQ(found(find_companion(c.pattern, c.own_name, items)), c.expected) << c.pattern;
  }
  EXPECT_EQ(found(find_named("SLD_2_BASE_INSTRUMENT_0", items)), "SLD_2_BASE_INSTRUMENT_0");
  EXPECT_EQ(found(find_named("SLD_2_BASE", items)), "none");
  EXPECT_EQ(found(find_named("LABEL;Cut;SLD_1_BASE_INSTRUMENT_0;;", items)), "none");
}

TEST(PanelNames, TextFieldsStopAtTheNextSemicolonOrTheEnd) {
  using field = std::optional<std::string>;
  struct {
    const char* text;
    std::string second;
    field third;
    field fourth;
  } cases[] = {
      {"LABEL;Cutoff;SLD_1_BASE;;", "Cutoff", "SLD_1_BASE", std::nullopt},
      {"LABEL;A;B;C;", "A", "B", "C"},
      {"no separator", "", std::nullopt, std::nullopt},
      {"LABEL;open", "open", std::nullopt, std::nullopt},
      {"LABEL;A;B", "A", "B", std::nullopt},
      {"LABEL;A;B;C", "A", "B", "C"},
      {"LABEL;;;", "", std::nullopt, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(text_field_2(c.text), c.second);
    EXPECT_EQ(text_field_3(c.text), c.third);
    EXPECT_EQ(text_field_4(c.text), c.fourth);
  }
}

TEST(WidgetEvents, QueueStandsNewestFirstAndIsTakenFromTheBack) {
  INSTRUMENT_GUI panel("808_1", 0, 125, 1);
  SPRITE a("", 0, 0, 0), b("", 0, 0, 0), c("", 0, 0, 0);
  const unsigned char raw[WIDGET_EVENT_RAW_SIZE] = {RAW_MOUSE_BUTTON_DOWN, 0, 1, 0, 10, 0, 20};
  queue_event(panel, std::make_unique<widget_event>(1, raw, nullptr, &a));
  queue_event(panel, std::make_unique<widget_event>(0, nullptr, "TOUCH_IN", &b));
  queue_event(panel, std::make_unique<widget_event>(0, nullptr, std::string(700, 'x').c_str(), &c));

  ASSERT_EQ(panel.event_queue.size(), 3u);
  EXPECT_EQ(panel.event_queue.front()->target, &c);
  const widget_event& oldest = *panel.event_queue.back();
  EXPECT_EQ(oldest.target, &a);
  EXPECT_EQ(oldest.kind, 1);
  EXPECT_STREQ(oldest.action, "");
  EXPECT_EQ(oldest.raw_type(), RAW_MOUSE_BUTTON_DOWN);
  EXPECT_EQ(oldest.raw_event[6], 20);
  panel.event_queue.pop_back();
  EXPECT_STREQ(panel.event_queue.back()->action, "TOUCH_IN");
  EXPECT_EQ(std::string(panel.event_queue.front()->action),
            std::string(WIDGET_EVENT_ACTION_SIZE - 1, 'x'));
}

}  // namespace
