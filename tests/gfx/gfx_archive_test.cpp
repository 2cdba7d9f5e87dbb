// Reading the texture archive index, with a recording loader instead of GL.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "gfx_test_files.h"
#include "temp_folder.h"
#include "texture_library.h"

namespace {

struct load_call {
  std::string path;
  int32_t object;
};
std::vector<load_call> calls;

// Succeeds for every path except those starting with "bad", giving each image
// a size derived from its texture object.
bool recording_loader(const char* path, int32_t object, int32_t* width, int32_t* height) {
  calls.push_back({path, object});
  if (std::string(path).rfind("bad", 0) == 0) return false;
  *width = 10 + object;
  *height = 20 + object;
  return true;
}

class ArchiveTest : public ::testing::Test {
 protected:
  void SetUp() override { calls.clear(); }

  TEXTURE_LIBRARY read(const std::string& index_text) {
    const std::string path = folder.file("OPENGL.ZPK");
    gfx_test::write_text(path, index_text);
    return TEXTURE_LIBRARY(path.c_str(), recording_loader);
  }

  zem_test::temp_folder folder;
};

TEST_F(ArchiveTest, HeaderFollowedByEndGivesAnEmptyLibrary) {
  TEXTURE_LIBRARY library = read("ZPK 1\nEND\nA a.bmp SIMPLEPART\n");
  EXPECT_EQ(library.count, 0);
  EXPECT_EQ(library.find_texture("A"), 0);
  EXPECT_TRUE(calls.empty());
}

TEST_F(ArchiveTest, EntriesFillSlotsInFileOrderAndAreFoundByName) {
  TEXTURE_LIBRARY library =
      read("ZPK 1\r\nA a.bmp SIMPLEPART\r\n\tB  b.png   SIMPLEPART\nC c.bmp SIMPLEPART END");
  ASSERT_EQ(library.count, 3);
  EXPECT_EQ(library.find_texture("C"), 2);
  EXPECT_EQ(library.find_texture("B"), 1);
  EXPECT_EQ(library.find_texture("A"), 0);
  EXPECT_EQ(library.find_texture("c"), 0);
  EXPECT_EQ(library.find_texture("D"), 0);
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[1].path, "b.png");
  EXPECT_EQ(calls[1].object, 1);
  EXPECT_EQ(library.widths[2], 12);
  EXPECT_EQ(library.heights[2], 22);
  EXPECT_STREQ(library.names[1], "B");
}

TEST_F(ArchiveTest, OtherKindsAreListedButNotLoaded) {
  testing::internal::CaptureStdout();
  TEXTURE_LIBRARY library = read("H H\nA a.bmp SIMPLEPART\nS s.bmp SOUND\nB b.bmp SIMPLEPART\nEND");
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(library.count, 2);
  EXPECT_EQ(library.find_texture("B"), 1);
  EXPECT_NE(out.find("Nbr elem = 1 = S callable with name [s.bmp] \n"), std::string::npos);
}

TEST_F(ArchiveTest, FailedImageIsReportedAndReadingGoesOn) {
  testing::internal::CaptureStdout();
  TEXTURE_LIBRARY library =
      read("H H\nA a.bmp SIMPLEPART\nX bad.bmp SIMPLEPART\nB b.bmp SIMPLEPART\nEND");
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("Erreur au de chargement simplepart\n"), std::string::npos);
  ASSERT_EQ(library.count, 2);
  EXPECT_EQ(library.find_texture("X"), 0);
  EXPECT_EQ(library.find_texture("B"), 1);
  // The failed image's slot is given to the next image.
  EXPECT_EQ(calls[2].object, 1);
}

TEST_F(ArchiveTest, RepeatedNameIsNotLoadedTwice) {
  TEXTURE_LIBRARY library =
      read("H H\nA a.bmp SIMPLEPART\nB b.bmp SIMPLEPART\nB other.bmp SIMPLEPART\nEND");
  EXPECT_EQ(library.count, 2);
  EXPECT_EQ(calls.size(), 2u);
}

// An archive cut short, or no regular file, is refused; none is read without end.
TEST_F(ArchiveTest, ArchivesCutShortOrNotRegularFilesAreRefused) {
  const std::string path = folder.file("OPENGL.ZPK");
  const std::string cut = "Error reading data file [" + path + "]: it ends before its END";
  const std::string special = "Error opening data file [" + path + "]: not a regular file";
  const std::pair<std::function<void()>, std::string> cases[] = {
      {[&] { gfx_test::write_text(path, "H H\nA a.bmp SIMPLEPART\nB b.bmp"); }, cut},
      {[&] { gfx_test::write_text(path, "H H\nA a.bmp SIMPLEPART\nEN"); }, cut},
      {[&] { gfx_test::write_text(path, ""); }, cut},
      {[&] { std::filesystem::create_directory(path); }, special},
      {[&] { std::filesystem::create_symlink("/dev/zero", path); }, special},
      {[&] { mkfifo(path.c_str(), 0600); }, special},
  };
  for (const auto& [make, refusal] : cases) {
    std::filesystem::remove(path);
    make();
    EXPECT_EQ(TEXTURE_LIBRARY(recording_loader).open_archive(path.c_str()), refusal);
  }
}

TEST_F(ArchiveTest, EntriesBeyondFourHundredAreRefusedWithoutOverflow) {
  std::string index = "H H\n";
  for (int i = 0; i < 405; ++i) {
    // Appended piece by piece: GCC 12 at -O3 takes "T" + std::string for an
    // overlapping copy (a false -Wrestrict that fails the Release build).
    const std::string number = std::to_string(i);
    index.append("T").append(number).append(" t").append(number).append(".bmp SIMPLEPART\n");
  }
  index += "END\n";
  testing::internal::CaptureStderr();
  TEXTURE_LIBRARY library = read(index);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(library.count, TEXTURE_SLOTS);
  EXPECT_EQ(calls.size(), 400u);
  EXPECT_EQ(library.find_texture("T399"), 399);
  EXPECT_EQ(library.find_texture("T400"), 0);
  EXPECT_NE(err.find("[T404] not loaded"), std::string::npos);
}

TEST_F(ArchiveTest, TokensLongerThanFiftyNineCharactersAreRefused) {
  const std::string longest(59, 'n');
  const std::string too_long(200, 'x');
  testing::internal::CaptureStderr();
  TEXTURE_LIBRARY library =
      read("H " + too_long + "\n" + longest + " a.bmp SIMPLEPART\n" + too_long +
           " b.bmp SIMPLEPART\nC " + too_long + " SIMPLEPART\nD d.bmp SIMPLEPART\nEND");
  const std::string err = testing::internal::GetCapturedStderr();
  ASSERT_EQ(library.count, 2);
  EXPECT_EQ(library.find_texture(longest.c_str()), 0);
  EXPECT_STREQ(library.names[0], longest.c_str());
  EXPECT_EQ(library.find_texture("D"), 1);
  EXPECT_NE(err.find("longer than 59"), std::string::npos);
  // "END" followed by more characters is a long name, not the end.
  EXPECT_EQ(read("H H\nEND" + too_long + " e.bmp SIMPLEPART\nF f.bmp SIMPLEPART END").count, 1);
}

TEST(ArchiveDeathTest, MissingIndexEndsTheProcessWithMinusOne) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");  // a child with no buffered output
  EXPECT_EXIT(
      {
        std::fflush(stdout);
        dup2(2, 1);  // the console lines, to be matched
        TEXTURE_LIBRARY("/nonexistent/OPENGL.ZPK", recording_loader);
      },
      testing::ExitedWithCode(255),
      "^Opening File \\[/nonexistent/OPENGL.ZPK\\] in directory \\[\\.\\] Ptr \\[\\(nil\\)\\] \n"
      "Error opening data file \\[/nonexistent/OPENGL.ZPK\\] \n");
}

}  // namespace
