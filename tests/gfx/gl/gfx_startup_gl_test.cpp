// Start-up of the window and its resources, each run in a child process.
#include <gtest/gtest.h>

#include <cstdlib>

#include "gfx_gl_window.h"

namespace {

using namespace gfx_test;

class StartupGlDeathTest : public ::testing::Test {
 protected:
  void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
  temp_folder folder;
};

// Ends the child with init_video's result, or 100 + the number of textures.
[[noreturn]] void start_and_report(const temp_folder& folder) {
  const int result = init_video_in(folder);
  std::exit(result == 1 ? 100 + texture_library->count : result);
}

TEST_F(StartupGlDeathTest, BadImagesAreSkippedAndStartUpGoesOn) {
  write_installation(folder, true);
  EXPECT_EXIT(start_and_report(folder), testing::ExitedWithCode(105),
              "Image is 32 bpp and 4 Bpp.*Unable to load absent.bmp");
}

TEST_F(StartupGlDeathTest, MissingFontFailsStartUpWithItsMessage) {
  write_installation(folder, false);
  EXPECT_EXIT(start_and_report(folder), testing::ExitedWithCode(0),
              "FT_New_Face failed \\(there is probably a problem with your font file\\)");
}

TEST_F(StartupGlDeathTest, BrokenFontFailsStartUpWithItsMessage) {
  write_installation(folder, false);
  write_text(folder.file("Test.ttf"), "not a font");
  EXPECT_EXIT(start_and_report(folder), testing::ExitedWithCode(0), "FT_New_Face failed");
}

TEST_F(StartupGlDeathTest, MissingArchiveEndsWithMinusOne) {
  std::filesystem::copy_file(test_font_source(), folder.file("Test.ttf"));
  EXPECT_EXIT(start_and_report(folder), testing::ExitedWithCode(255), "");
}

}  // namespace

namespace {

TEST(QuitGlDeathTest, QuitEndsWithTheGivenCode) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(quit_program(3), testing::ExitedWithCode(3), "");
  EXPECT_EXIT(quit_program(0), testing::ExitedWithCode(0), "");
}

}  // namespace
