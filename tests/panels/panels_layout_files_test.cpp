// The installation's own layout files (RC/), read with their includes by the
// real reader: every widget the panels look for is there with a picture the
// archive holds, and nothing collides on screen or under the pointer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "catalogue.h"
#include "instrument_gui.h"
#include "instrument_settings.h"
#include "layout_reader.h"
#include "panel_names.h"
#include "panel_rack.h"
#include "panel_test_support.h"
#include "pattern_image.h"
#include "texture_library.h"

namespace {

constexpr int BAND_WIDTH = 800, BAND_HEIGHT = 125;
const std::string SUFFIX = "_INSTRUMENT_0";

// The runtime folder's archive, with the images left unloaded.
TEXTURE_LIBRARY& runtime_library() {
  static TEXTURE_LIBRARY library(ZEM_RUNTIME_DIR "/OPENGL.ZPK",
                                 [](const char*, int32_t, int32_t* width, int32_t* height) {
                                   *width = *height = 1;
                                   return true;
                                 });
  return library;
}

class layout_panel : public INSTRUMENT_GUI {
 public:
  layout_panel() : INSTRUMENT_GUI("LAYOUT", 0, 0, 0) {}
};

// Reads a section of a file under the source folder's RC/, as the program
// reads it from its working directory, for instrument number 0.
std::unique_ptr<layout_panel> read_real_layout(const char* path, const char* section) {
  texture_library = &runtime_library();
  auto panel = std::make_unique<layout_panel>();
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> quiet(std::fopen("/dev/null", "w"), std::fclose);
  layout_source source;
  source.open = [](const char* file) {
    return open_layout_file((std::string(ZEM_SOURCE_DIR "/") + file).c_str());
  };
  source.trace = quiet.get();
  const auto error = read_layout(*panel, path, section, 0, source);
  EXPECT_FALSE(error) << *error;
  return panel;
}

std::vector<std::string> numbered(const std::string& head, int first, int last,
                                  const std::string& tail = "") {
  std::vector<std::string> keys;
  for (int n = first; n <= last; ++n) keys.push_back(head + std::to_string(n) + tail);
  return keys;
}

std::vector<std::string> generic_keys() {
  std::vector<std::string> keys;
  for (const char* s :
       {"POWER", "FILTER", "ENVELOPPE", "DISTORT", "NOISE", "LFO_ENVELOPPE", "LFO_FILTER"}) {
    keys.push_back(std::string("BUTTON_TOGGLE_") + s);
  }
  for (const auto& group : {numbered("SLD_", 1, 7, "_BASE"), numbered("SLD_NOISE_", 1, 3),
                            numbered("SLD_LFO_ENVELOPPE_", 1, 3), numbered("SLD_LFO_FILTER_", 1, 3),
                            numbered("BUTTON_PATTERN_", 1, 8), numbered("BUTTON_PATTERN_", 11, 14),
                            numbered("BUTTON_ACT_NOTE_", 0, 16)}) {
    keys.insert(keys.end(), group.begin(), group.end());
  }
  keys.insert(keys.end(), {"BUTTON_DISK_LOAD", "BUTTON_DISK_SAVE"});
  return keys;
}

struct panel_kind {
  const char* path;
  const char* section;
  std::vector<std::vector<std::string>> own_keys;
};

const panel_kind panel_kinds[] = {
    {"RC/TB303.RC",
     "TB303",
     {{"BUTTON_TOGGLE_OSC_TYPE", "SLD_PARAM1", "SLD_PARAM2"}, numbered("SLD_", 0, 15, "_NOTE")}},
    {"RC/TB808.RC", "TB808", {numbered("BUTTON_TOGGLE_SEQ_", 0, 7), numbered("SLD_PARAM", 1, 4)}},
    {"RC/OSC.RC",
     "OSC",
     {numbered("BUTTON_TOGGLE_OSC", 1, 3), numbered("BUTTON_TOGGLE_OSC_", 1, 3, "_TYPE"),
      numbered("SLD_OSC", 1, 3, "_FACTOR"), numbered("SLD_OSC", 1, 3, "_OFFSET"),
      numbered("SLD_", 0, 7, "_NOTE")}},
};

void PrintTo(const panel_kind& kind, std::ostream* out) {
  *out << kind.path;
}

bool is_label(const SPRITE& item) {
  return std::strstr(item.control_name, "LABEL") != nullptr;
}
bool is_background(const SPRITE& item) {
  return !is_label(item) && std::strstr(item.name, "BACK") != nullptr;
}
std::string key_of(const SPRITE& item) {
  const std::string name = item.control_name;
  return name.size() > SUFFIX.size() ? name.substr(0, name.size() - SUFFIX.size()) : "";
}

// An area of the band, bounds included (pixels are truncated positions).
struct area {
  float left, top, right, bottom;
  bool inside_band() const {
    return left >= 0 && top >= 0 && right <= BAND_WIDTH && bottom <= BAND_HEIGHT;
  }
  bool overlaps(const area& o, bool touching_counts) const {
    if (touching_counts) {
      return left <= o.right && o.left <= right && top <= o.bottom && o.top <= bottom;
    }
    return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
  }
};

// A sprite is drawn at twice its size around its position and picked over
// its size around it.
area drawn_area(const SPRITE& s) {
  return {s.x - s.width, s.y - s.height, s.x + s.width, s.y + s.height};
}
area pick_area(const SPRITE& s) {
  return {s.x - s.width / 2, s.y - s.height / 2, s.x + s.width / 2, s.y + s.height / 2};
}

void expect_apart(const std::vector<const SPRITE*>& items, area (*area_of)(const SPRITE&),
                  bool touching_counts) {
  for (size_t i = 0; i < items.size(); ++i) {
    EXPECT_TRUE(area_of(*items[i]).inside_band()) << items[i]->control_name;
    for (size_t j = i + 1; j < items.size(); ++j) {
      EXPECT_FALSE(area_of(*items[i]).overlaps(area_of(*items[j]), touching_counts))
          << items[i]->control_name << " and " << items[j]->control_name;
    }
  }
}

class LayoutFiles : public testing::TestWithParam<panel_kind> {
 protected:
  void SetUp() override { panel_ = read_real_layout(GetParam().path, GetParam().section); }
  const std::vector<SPRITE*>& items() const { return panel_->items; }
  std::unique_ptr<layout_panel> panel_;
};

TEST_P(LayoutFiles, HoldEveryKeyThePanelLooksFor) {
  std::vector<std::string> keys = generic_keys();
  for (const auto& group : GetParam().own_keys) keys.insert(keys.end(), group.begin(), group.end());
  for (const std::string& key : keys) {
    EXPECT_NE(find_named((key + SUFFIX).c_str(), items()), nullptr) << key;
  }
  if (std::string(GetParam().section) == "TB303") {
    EXPECT_NE(find_companion("DISP_", nullptr, items()), nullptr) << "the waveform display";
  }
  // The background is drawn first, under everything: it is the last item.
  ASSERT_FALSE(items().empty());
  EXPECT_TRUE(is_background(*items().back())) << items().back()->control_name;
}

// Images and masks by name from the archive; a widget gets the mask that its
// picture is drawn for, and no mask means slot 0.
TEST_P(LayoutFiles, NameOnlyPicturesOfTheArchiveWithTheirMasks) {
  const TEXTURE_LIBRARY& library = runtime_library();
  for (const SPRITE* item : items()) {
    EXPECT_NE(library.find_texture(item->name), 0) << item->control_name << ": " << item->name;
    const std::string mask = zem::art::mask_of(item->name);
    EXPECT_EQ(library.names[item->mask_texture], mask.empty() ? library.names[0] : mask)
        << item->control_name;
    EXPECT_EQ(item->mask_texture == 0, mask.empty()) << item->control_name;
  }
}

TEST_P(LayoutFiles, KeepWidgetsApartInsideTheBand) {
  std::vector<const SPRITE*> pickable, drawn;
  for (const SPRITE* item : items()) {
    if (is_label(*item) || is_background(*item)) continue;
    pickable.push_back(item);
    if (item->width > 0 && item->height > 0) drawn.push_back(item);
  }
  {
    SCOPED_TRACE("drawn areas");
    expect_apart(drawn, drawn_area, false);
  }
  {
    SCOPED_TRACE("pick areas");
    std::vector<const SPRITE*> sized;
    for (const SPRITE* item : pickable) {
      if (item->width > 0) sized.push_back(item);
      EXPECT_TRUE(pick_area(*item).inside_band()) << item->control_name;
    }
    expect_apart(sized, pick_area, true);
  }
}

// Every label names a widget that exists (the panel stops at its first
// drawing otherwise) and puts its one-word text inside the band.
TEST_P(LayoutFiles, LinkEveryLabelToItsWidget) {
  for (const SPRITE* label : items()) {
    if (!is_label(*label)) continue;
    SCOPED_TRACE(label->control_name);
    EXPECT_FALSE(text_field_2(label->control_name).empty());
    EXPECT_EQ(std::count(label->control_name,
                         label->control_name + std::strlen(label->control_name), ';'),
              4);
    float x = label->x, baseline = label->y + 7;
    if (const auto link = text_field_3(label->control_name)) {
      const SPRITE* widget = find_companion(link->c_str(), label->control_name, items());
      ASSERT_NE(widget, nullptr);
      EXPECT_EQ(key_of(*widget), *link) << "the link finds another widget first";
      x = widget->x + label->x;
      baseline = widget->y + label->y;
    }
    EXPECT_TRUE((area{x, baseline - 6, x, baseline}.inside_band()));
  }
}

// After a load, every switch light, knob and display of a panel shows the
// loaded state: as on the panel whose own controls made that state.
TEST(LayoutFiles, LoadedStateShowsAsOnThePanelThatMadeIt) {
  texture_library = &runtime_library();
  const zem_test::temp_folder folder(true);
  std::filesystem::create_directory_symlink(ZEM_SOURCE_DIR "/RC", folder.file("RC"));
  testing::internal::CaptureStdout();
  const panel_list edited = build_panel_rack(), loaded = build_panel_rack();
  testing::internal::GetCapturedStdout();
  for (int i = 0; i < instrument_count; ++i) {
    SCOPED_TRACE(edited[i]->engine_name);
    // Every knob a few steps, every switch and waveform key once (the drum
    // steps show the playing pattern at every redraw).
    for (SPRITE* item : edited[i]->items) {
      const std::string key = key_of(*item);
      if (is_label(*item) || key.find("_SEQ_") != std::string::npos) continue;
      if (key.starts_with("SLD_")) panel_test::act(*edited[i], *item, "SLD_DOWN", 3);
      if (key.starts_with("BUTTON_TOGGLE_")) panel_test::release(*edited[i], *item);
    }
    std::vector<unsigned char> image(image_layout_of(*edited[i]).size), lfos(40);
    encode_image(*edited[i], image);
    encode_settings(*edited[i], lfos);
    apply_image(*loaded[i], image);
    apply_settings(*loaded[i], lfos);
    const auto shown = [&](const panel_list& rack) {
      std::vector<std::pair<std::string, int32_t>> widgets;
      for (const SPRITE* item : rack[i]->items) widgets.emplace_back(item->name, item->angle);
      return widgets;
    };
    EXPECT_NE(shown(loaded), shown(edited));
    loaded[i]->show_state();
    EXPECT_EQ(shown(loaded), shown(edited));
    delete edited[i];
    delete loaded[i];
  }
}

INSTANTIATE_TEST_SUITE_P(EachPanelKind, LayoutFiles, testing::ValuesIn(panel_kinds),
                         [](const testing::TestParamInfo<panel_kind>& info) {
                           return std::string(info.param.section);
                         });

}  // namespace
