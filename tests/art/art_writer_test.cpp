// The BMP encoder and the index formatter on their own.
#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

#include "bmp.h"
#include "zpk_index.h"

using namespace zem::art;

// A width whose rows need padding: rows are bottom-up, bytes blue-green-red,
// each row padded with zeros to a multiple of 4 bytes.
TEST(ArtBmp, WritesBottomRowFirstInBlueGreenRedOrder) {
  rgb_image image(3, 2);
  image.at(0, 0) = {1, 0, 0};
  image.at(2, 0) = {0, 0, 1};
  image.at(1, 1) = {0, 1, 0};
  const std::vector<uint8_t> b = encode_bmp(image);
  ASSERT_EQ(b.size(), 54u + 2 * 12);
  EXPECT_EQ(b[0], 'B');
  EXPECT_EQ(b[2] | b[3] << 8, 78);  // file size
  EXPECT_EQ(b[10], 54);             // pixel offset
  EXPECT_EQ(b[18], 3);              // width
  EXPECT_EQ(b[22], 2);              // height, positive: bottom row first
  EXPECT_EQ(b[28], 24);             // bits per pixel
  const std::vector<uint8_t> bottom(b.begin() + 54, b.begin() + 66);
  const std::vector<uint8_t> top(b.begin() + 66, b.end());
  EXPECT_EQ(bottom, (std::vector<uint8_t>{0, 0, 0, 0, 255, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(top, (std::vector<uint8_t>{0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 0, 0}));
}

TEST(ArtBmp, RoundsAndClampsLevels) {
  EXPECT_EQ(to_byte(-0.5f), 0);
  EXPECT_EQ(to_byte(0.5f), 128);
  EXPECT_EQ(to_byte(1.7f), 255);
}

TEST(ArtIndexWriter, WritesHeaderEntriesAndEnd) {
  const std::string text = format_index({{"NONE", "textures/none.bmp"}, {"KNOB", "k.bmp"}});
  std::istringstream in(text);
  std::vector<std::string> tokens;
  for (std::string t; in >> t && t != "END";) tokens.push_back(t);
  EXPECT_EQ(tokens, (std::vector<std::string>{"ZEM_TEXTURE_INDEX", "1", "NONE", "textures/none.bmp",
                                              "SIMPLEPART", "KNOB", "k.bmp", "SIMPLEPART"}));
}

TEST(ArtIndexWriter, RefusesWhatTheReaderCouldNotTakeBack) {
  const std::string long_name(60, 'A');
  for (const std::vector<index_entry>& bad : std::vector<std::vector<index_entry>>{
           {{"TWO WORDS", "a.bmp"}},
           {{"END", "a.bmp"}},
           {{"", "a.bmp"}},
           {{"A", "path\twith tab"}},
           {{long_name, "a.bmp"}},
           {{"A", "a.bmp"}, {"A", "b.bmp"}},
       }) {
    EXPECT_THROW(format_index(bad), std::invalid_argument) << bad.front().name;
  }
  EXPECT_NO_THROW(format_index({{std::string(59, 'A'), "a.bmp"}}));
  EXPECT_THROW(format_index(std::vector<index_entry>(401, {"A", "a.bmp"})), std::invalid_argument);
}
