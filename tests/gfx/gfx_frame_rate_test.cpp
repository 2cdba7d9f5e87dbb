// The frame-rate caption and the power-of-two sizes of glyph textures.
#include <gtest/gtest.h>

#include <string>

#include "frame_rate.h"
#include "next_power_of_two.h"

namespace {

class FrameRateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    frame_count = 0;
    last_report_ticks = 0;
  }
  char caption[NAME_FIELD_SIZE] = "unchanged";
};

TEST_F(FrameRateTest, ReportComesAtFiveThousandMillisecondsNotBefore) {
  EXPECT_FALSE(count_frame(4999, caption));
  EXPECT_STREQ(caption, "unchanged");
  EXPECT_EQ(frame_count, 1);
  EXPECT_TRUE(count_frame(5000, caption));
  EXPECT_STREQ(caption, "2 frames in 5 seconds = 0.4 FPS\n");
  EXPECT_EQ(frame_count, 0);
  EXPECT_EQ(last_report_ticks, 5000);
  EXPECT_FALSE(count_frame(9999, caption));
}

TEST_F(FrameRateTest, FramesEveryTenMillisecondsReportOnceWithTheExactCount) {
  last_report_ticks = 1234;
  int reports = 0;
  std::string first;
  for (uint32_t t = 1240; t <= 1234 + 5000 + 40; t += 10) {
    if (count_frame(t, caption)) {
      ++reports;
      first = caption;
      EXPECT_EQ(t, 6240u);  // the first frame at or after 5000 ms
    }
  }
  EXPECT_EQ(reports, 1);
  // Frames at 1240 ... 6240: 501 frames in 5.006 s.
  EXPECT_EQ(first, "501 frames in 5.006 seconds = 100.08 FPS\n");
  EXPECT_EQ(frame_count, 3);  // 6250, 6260, 6270
}

TEST_F(FrameRateTest, TickCounterWrapKeepsCounting) {
  last_report_ticks = static_cast<int32_t>(0xFFFFF000u);
  EXPECT_FALSE(count_frame(0x00000010u, caption));  // 4112 ms later
  EXPECT_TRUE(count_frame(0x00000400u, caption));   // 5120 ms later
  EXPECT_STREQ(caption, "2 frames in 5.12 seconds = 0.390625 FPS\n");
}

TEST(NextPowerOfTwoTest, SmallestPowerAtLeastTheValue) {
  EXPECT_EQ(next_power_of_two(0), 1u);
  EXPECT_EQ(next_power_of_two(1), 1u);
  EXPECT_EQ(next_power_of_two(2), 2u);
  EXPECT_EQ(next_power_of_two(5), 8u);
  EXPECT_EQ(next_power_of_two(8), 8u);
  EXPECT_EQ(next_power_of_two(9), 16u);
  EXPECT_EQ(next_power_of_two(1025), 2048u);
}

}  // namespace
