// Widget identity, names, change tracking and hit-testing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "widget.h"

namespace {

SPRITE* sized(const char* name, int x, int y, float width, float height) {
  SPRITE* sprite = new SPRITE(name, x, y, 0);
  sprite->width = width;
  sprite->height = height;
  return sprite;
}

class owned_sprites {
 public:
  ~owned_sprites() {
    for (SPRITE* s : list) delete s;
  }
  std::vector<SPRITE*> list;
};

TEST(WidgetTest, SpritePicksAroundItsCentreInclusive) {
  owned_sprites items;
  items.list.push_back(sized("KNOB", 400, 300, 20, 10));
  const std::vector<int> hit{0};
  for (int x : {390, 400, 410}) {
    for (int y : {295, 305}) EXPECT_EQ(find_widget_at(items.list, x, y), hit) << x << "," << y;
  }
  EXPECT_TRUE(find_widget_at(items.list, 411, 300).empty());
  EXPECT_TRUE(find_widget_at(items.list, 389, 300).empty());
  EXPECT_TRUE(find_widget_at(items.list, 400, 306).empty());
  EXPECT_TRUE(find_widget_at(items.list, 400, 294).empty());
  pointer_x = 405;
  pointer_y = 301;
  EXPECT_EQ(find_widget_at(items.list), hit);
}

TEST(WidgetTest, FirstItemWinsAndBackgroundsAreNeverPicked) {
  owned_sprites items;
  items.list.push_back(sized("PANEL_BACK_1", 400, 60, 800, 125));
  items.list.push_back(sized("KNOB_A", 100, 50, 30, 30));
  items.list.push_back(sized("KNOB_B", 110, 50, 30, 30));
  EXPECT_EQ(find_widget_at(items.list, 105, 50), std::vector<int>{1});
  EXPECT_EQ(find_widget_at(items.list, 122, 50), std::vector<int>{2});
  EXPECT_TRUE(find_widget_at(items.list, 300, 50).empty());
  EXPECT_TRUE(find_widget_at({}, 0, 0).empty());
}

TEST(WidgetTest, ContainsTruncatesEachValueSeparately) {
  SPRITE sprite("S", 0, 0, 0);
  sprite.set_position(10.7f, 20.9f, 0);
  sprite.width = 5.9f;  // right edge 10 + 5, not trunc(16.6)
  sprite.height = 2.5f;
  BASE probe(15.99f, 22.5f, 0, "");
  EXPECT_EQ(sprite.contains(probe), 1);
  probe.set_x(16.0f);
  EXPECT_EQ(sprite.contains(probe), 0);
  probe.set_x(10.0f);
  probe.set_y(19.99f);
  EXPECT_EQ(sprite.contains(probe), 0);
}

// Positions and sizes far outside the window (an absurd layout line) stop at
// the ends of the 32-bit range instead of overflowing.
TEST(WidgetTest, ExtremeValuesAreTruncatedWithoutOverflow) {
  SPRITE sprite("S", 0, 0, 0);
  sprite.set_position(3e9f, -3e9f, 0);
  sprite.refresh();
  EXPECT_EQ(sprite.drawn_x, INT32_MAX);
  EXPECT_EQ(sprite.drawn_y, INT32_MIN);

  sprite.set_position(2e9f, 2e9f, 0);
  sprite.width = 2e9f;
  sprite.height = 2e9f;
  EXPECT_EQ(sprite.contains(BASE(2.1e9f, 2.1e9f, 0, "")), 1);
  EXPECT_EQ(sprite.contains(BASE(1.9e9f, 2.1e9f, 0, "")), 0);
}

TEST(WidgetTest, EveryConstructionTakesTheNextNumber) {
  SPRITE first("A", 0, 0, 0);
  SPRITE second("B", 0, 0, 0);
  EXPECT_EQ(second.id, first.id + 1);
  owned_sprites items;
  items.list.push_back(sized("X", 0, 0, 1, 1));
  items.list.push_back(sized("Y", 50, 50, 1, 1));
  items.list.push_back(sized("Z", 90, 90, 1, 1));
  // Each examined item costs one probe object: the scan stops at Y.
  const uint32_t before = instance_counter;
  EXPECT_EQ(find_widget_at(items.list, 50, 50), std::vector<int>{1});
  EXPECT_EQ(instance_counter, before + 2);
}

TEST(WidgetTest, NamesAreCutToSeventyNineCharacters) {
  const std::string hundred(100, 'q');
  SPRITE sprite(hundred.c_str(), 0, 0, 0);
  EXPECT_EQ(std::string(sprite.name), hundred.substr(0, 79));
  EXPECT_EQ(sprite.text, hundred);  // the text strings are not fields
  sprite.set_control_name(hundred.c_str());
  EXPECT_EQ(std::string(sprite.control_name), hundred.substr(0, 79));
  const std::string exact(79, 'e');
  sprite.set_name(exact.c_str());
  EXPECT_EQ(std::string(sprite.name), exact);
  sprite.set_name(nullptr);
  EXPECT_STREQ(sprite.name, "");
  EXPECT_EQ(sprite.control_name[79], '\0');
}

TEST(WidgetTest, BaseAndLabelNames) {
  instance_counter = 42;
  BASE base(1, 2, 3, "ignored");
  EXPECT_EQ(base.id, 42u);
  EXPECT_STREQ(base.name, "BASE_ITEM_                  42");
  EXPECT_STREQ(base.control_name, "");

  LABEL label(7, 30, 40, 1, 2, 3);
  EXPECT_STREQ(label.name, "IMG_001");
  EXPECT_EQ(label.x, 30.0f);
  EXPECT_EQ(label.y, 40.0f);
  EXPECT_EQ(label.third, 3);
}

TEST(WidgetTest, RefreshMarksOnlyWhatChanged) {
  SPRITE sprite("IMG", 100, 100, 0);
  EXPECT_EQ(sprite.refresh(), 0);
  EXPECT_EQ(sprite.changed, 0);

  sprite.angle = 30;
  sprite.refresh();
  EXPECT_EQ(sprite.changed, 1);
  EXPECT_EQ(sprite.shown_angle, 30);
  EXPECT_EQ(sprite.text_changed, 0);

  sprite.changed = 0;
  sprite.set_position(120.75f, -3.5f, 0);
  sprite.refresh();
  EXPECT_EQ(sprite.changed, 1);
  EXPECT_EQ(sprite.drawn_x, 120);
  EXPECT_EQ(sprite.drawn_y, -3);

  sprite.changed = 0;
  sprite.pending_text = "new";
  ZEM_ENGINE& through_base = sprite;
  through_base.refresh();
  EXPECT_EQ(sprite.text, "new");
  EXPECT_EQ(sprite.text_changed, 1);
  EXPECT_EQ(sprite.changed, 1);

  LABEL label(0, 5, 5, 0, 0, 0);
  label.pending_text = "other";
  label.refresh();
  EXPECT_EQ(label.changed, 0);
  EXPECT_EQ(label.text, "IMG_001");
}

}  // namespace
