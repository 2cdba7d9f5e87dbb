// The texture index and images that the build writes into the runtime folder.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <set>

#include "art_files.h"
#include "catalogue.h"

using namespace art_test;
using zem::art::catalogue;
using zem::art::texture_art;
using zem::art::texture_role;

namespace {

const index_file& runtime_index() {
  static const index_file index = read_index(runtime_path("OPENGL.ZPK"));
  return index;
}

std::map<std::string, bmp_file>& images() {
  static std::map<std::string, bmp_file> loaded;
  if (loaded.empty()) {
    for (const index_entry& e : runtime_index().entries)
      loaded[e.name] = read_bmp(runtime_path(e.path));
  }
  return loaded;
}

const texture_art& art_named(const std::string& name) {
  for (const texture_art& art : catalogue()) {
    if (art.name == name) return art;
  }
  throw std::runtime_error("no texture " + name);
}

}  // namespace

TEST(ArtIndex, ParsesAsTheLibraryReadsIt) {
  const index_file& index = runtime_index();
  ASSERT_EQ(index.header.size(), 2u);
  EXPECT_TRUE(index.ended) << "the entries must end with END";
  EXPECT_TRUE(index.long_tokens.empty()) << index.long_tokens.front();
  ASSERT_FALSE(index.entries.empty());
  EXPECT_LE(index.entries.size(), 400u);
  std::set<std::string> names;
  for (const index_entry& e : index.entries) {
    EXPECT_EQ(e.kind, "SIMPLEPART") << e.name;
    EXPECT_TRUE(names.insert(e.name).second) << e.name << " is listed twice";
  }
}

TEST(ArtIndex, ListsTheCatalogueInOrder) {
  const index_file& index = runtime_index();
  ASSERT_EQ(index.entries.size(), catalogue().size());
  for (size_t i = 0; i < catalogue().size(); ++i) {
    EXPECT_EQ(index.entries[i].name, catalogue()[i].name);
    EXPECT_EQ(index.entries[i].path, zem::art::image_path(catalogue()[i]));
  }
}

TEST(ArtIndex, HoldsEveryNameThePanelsSwitchTo) {
  std::set<std::string> names;
  for (const index_entry& e : runtime_index().entries) names.insert(e.name);
  for (const char* wanted :
       {"CHK_1_ON", "CHK_1_OFF", "CHK_2_ON", "CHK_2_OFF", "BUTTON_PATTERN_ON", "BUTTON_PATTERN_OFF",
        "DISP_SIN", "DISP_SAW", "DISP_TRI", "DISP_SQR"}) {
    EXPECT_TRUE(names.count(wanted)) << wanted;
  }
}

// Slot 0 is shown for unknown names and means "no mask": it must be a plain
// picture, no background, and no widget may expect it as its mask.
TEST(ArtIndex, FirstEntryIsNeutral) {
  const std::string first = runtime_index().entries.at(0).name;
  const texture_art& art = art_named(first);
  EXPECT_EQ(art.role, texture_role::neutral);
  EXPECT_EQ(first.find("BACK"), std::string::npos);
  for (const texture_art& other : catalogue()) EXPECT_NE(other.mask, first) << other.name;
  const bmp_file& bmp = images()[first];
  ASSERT_EQ(bmp.error, "");
  // Neither black nor white anywhere: it cannot pass for a mask or a hole.
  for (int y = 0; y < bmp.height; ++y) {
    for (int x = 0; x < bmp.width; ++x) {
      ASSERT_GT(bmp.level(x, y), 30);
      ASSERT_LT(bmp.level(x, y), 200);
    }
  }
}

// The pointer never picks an item whose image name contains "BACK": only
// backgrounds and the image of text labels may carry it.
TEST(ArtIndex, OnlyBackgroundsAndLabelsContainBack) {
  std::set<std::string> kinds;
  for (const texture_art& art : catalogue()) {
    const bool back = art.name.find("BACK") != std::string::npos;
    EXPECT_EQ(back, art.role == texture_role::background || art.role == texture_role::label)
        << art.name;
    for (const char* kind : {"TB303", "TB808", "OSC"}) {
      if (back && art.name.find(kind) != std::string::npos) kinds.insert(kind);
    }
  }
  EXPECT_EQ(kinds.size(), 3u) << "one background per panel kind";
}

TEST(ArtImages, AreTwentyFourBitFilesOfTheirSize) {
  for (const texture_art& art : catalogue()) {
    const bmp_file& bmp = images()[art.name];
    ASSERT_EQ(bmp.error, "") << art.name;
    EXPECT_EQ(bmp.width, art.width) << art.name;
    EXPECT_EQ(bmp.height, art.height) << art.name;
    // Mipmaps are built with gluBuild2DMipmaps, which rescales other sizes.
    EXPECT_TRUE(power_of_two(bmp.width) && power_of_two(bmp.height)) << art.name;
  }
}

// A mask is white at its border so that no box edge shows, and the picture
// over it is black there so that nothing is added around the widget.
TEST(ArtImages, MasksFitTheirPictures) {
  for (const texture_art& art : catalogue()) {
    if (art.mask.empty()) continue;
    SCOPED_TRACE(art.name);
    ASSERT_EQ(art_named(art.mask).role, texture_role::mask);
    const bmp_file& picture = images()[art.name];
    const bmp_file& mask = images()[art.mask];
    ASSERT_EQ(mask.error, "");
    ASSERT_EQ(mask.width, picture.width);
    ASSERT_EQ(mask.height, picture.height);
    const int w = picture.width, h = picture.height;
    for (int x = 0; x < w; ++x) {
      for (int y : {0, h - 1}) {
        EXPECT_GE(mask.level(x, y), 250) << x << "," << y;
        EXPECT_LE(picture.level(x, y), 4) << x << "," << y;
      }
    }
    for (int y = 0; y < h; ++y) {
      for (int x : {0, w - 1}) {
        EXPECT_GE(mask.level(x, y), 250) << x << "," << y;
        EXPECT_LE(picture.level(x, y), 4) << x << "," << y;
      }
    }
    EXPECT_LE(mask.level(w / 2, h / 2), 2) << "the widget must cut its hole";
    EXPECT_GT(picture.level(w / 2, h / 2), 20) << "and fill it";
  }
}

TEST(ArtImages, EveryMaskServesAWidget) {
  std::set<std::string> used;
  for (const texture_art& art : catalogue()) used.insert(art.mask);
  for (const texture_art& art : catalogue()) {
    if (art.role == texture_role::mask) {
      EXPECT_TRUE(used.count(art.name)) << art.name;
    }
  }
}

// Knobs turn clockwise with their angle from a pointer at 9 o'clock: a
// voice-chain knob at its minimum (-45 degrees) then points to half past 7.
TEST(ArtImages, KnobPointersPointLeftAtAngleZero) {
  for (const char* name : {"KNOB", "SLIDER", "SLIDER_SMALL"}) {
    SCOPED_TRACE(name);
    const bmp_file& knob = images()[name];
    ASSERT_EQ(knob.error, "");
    const int c = knob.width / 2, reach = knob.width * 3 / 10;
    const int left = knob.level(c - reach, c), right = knob.level(c + reach, c);
    const int up = knob.level(c, c - reach), down = knob.level(c, c + reach);
    EXPECT_GT(left, 200);
    for (int other : {right, up, down}) EXPECT_GT(left, other + 80);
  }
}

// Images must be found from the working directory, where the program runs.
TEST(ArtRuntime, HoldsTheFont) {
  const std::vector<uint8_t> font = read_file(runtime_path("Test.ttf"));
  ASSERT_GE(font.size(), 4u);
  EXPECT_EQ(std::vector<uint8_t>(font.begin(), font.begin() + 4),
            (std::vector<uint8_t>{0, 1, 0, 0}))
      << "a TrueType file starts with version 1.0";
}
