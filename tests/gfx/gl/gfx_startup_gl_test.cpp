// Start-up of the window and its resources, each run in a child process.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "gfx_gl_window.h"

namespace {

using namespace gfx_test;
using zem_test::temp_folder;

class StartupGlDeathTest : public ::testing::Test {
 protected:
  void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
  temp_folder folder;
};

// Sends the console lines to standard error, unbuffered, so that they can be
// matched in order with the error lines.
void console_to_stderr() {
  std::fflush(stdout);
  dup2(2, 1);
  std::setvbuf(stdout, nullptr, _IONBF, 0);
}

// Ends the child with init_video's result, or 100 + the number of textures.
[[noreturn]] void start_and_report(const temp_folder& folder) {
  console_to_stderr();
  const int result = init_video_in(folder);
  std::exit(result == 1 ? 100 + texture_library->count : result);
}

TEST_F(StartupGlDeathTest, BadImagesAreSkippedAndStartUpGoesOn) {
  write_installation(folder, true);
  EXPECT_EXIT(start_and_report(folder), testing::ExitedWithCode(105),
              "^PIXLO - Loading all textures\n"
              "Opening File \\[OPENGL.ZPK\\] in directory \\[\\.\\] Ptr \\[0x[0-9a-f]+\\] \n"
              ".*Nbr elem = 2 = ALPHA callable with name \\[alpha.bmp\\] \n"
              "Image is 32 bpp and 4 BppErreur au de chargement simplepart\n"
              ".*Unable to load absent.bmp: [^\n]*\nErreur au de chargement simplepart\n"
              ".*FreeType - Loading all Fonts\n");
}

TEST_F(StartupGlDeathTest, MissingFontFailsStartUpWithItsMessage) {
  write_installation(folder, false);
  EXPECT_EXIT(start_and_report(folder), testing::ExitedWithCode(0),
              "Font \\[Test.ttf\\] cannot be used: FT_New_Face failed \\(there is probably a "
              "problem with your font file\\)\n");
}

TEST_F(StartupGlDeathTest, VideoFailuresAreReportedAndGiveZero) {
  EXPECT_EXIT(
      {
        unsetenv("DISPLAY");
        setenv("SDL_VIDEODRIVER", "x11", 1);
        std::exit(init_video());
      },
      testing::ExitedWithCode(0), "^Video initialization failed: [^\n]+\n");
  EXPECT_EXIT(
      {
        // Video is up, but no GL visual has a 64-bit stencil buffer.
        for (int attempt = 0; attempt < 50 && SDL_Init(SDL_INIT_VIDEO) < 0; ++attempt) {
          SDL_Delay(100);
        }
        SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 64);
        std::exit(init_video());
      },
      testing::ExitedWithCode(0), "^Video mode set failed: [^\n]+\n");
}

TEST(QuitGlDeathTest, QuitEndsWithTheGivenCode) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(quit_program(3), testing::ExitedWithCode(3), "");
  EXPECT_EXIT(quit_program(0), testing::ExitedWithCode(0), "");
}

}  // namespace
