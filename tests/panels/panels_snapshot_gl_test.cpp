// zem-snapshot, run as a user runs it: the first picture of the rack from the
// runtime folder, and one line with status 2 for what it cannot work with.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "art_files.h"

namespace fs = std::filesystem;

namespace {

struct run_result {
  int status;
  std::string error_output;
};

// Runs the tool in folder with the given arguments. Leak checking is off:
// the X and GL libraries keep memory until the process ends.
run_result run_snapshot(const fs::path& folder, const std::string& arguments) {
  const fs::path errors =
      fs::temp_directory_path() / ("snapshot_errors_" + std::to_string(getpid()));
  std::ostringstream command;
  command << "cd '" << folder.string() << "' && ASAN_OPTIONS=detect_leaks=0 '" << ZEM_SNAPSHOT_PATH
          << "' " << arguments << " >/dev/null 2>'" << errors.string() << "'";
  const int status = std::system(command.str().c_str());
  std::ifstream in(errors);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  fs::remove(errors);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text};
}

class temporary_folder {
 public:
  temporary_folder() {
    std::string pattern = (fs::temp_directory_path() / "snapshot_XXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~temporary_folder() { fs::remove_all(path_); }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

const fs::path runtime = ZEM_RUNTIME_DIR;

TEST(Snapshot, WritesTheFirstPictureOfTheRack) {
  temporary_folder out;
  const fs::path picture = out.path() / "rack.bmp";
  const run_result run = run_snapshot(runtime, picture.string());
  ASSERT_EQ(run.status, 0) << run.error_output;
  EXPECT_EQ(run.error_output, "");
  EXPECT_FALSE(fs::exists(picture.string() + ".partial"));
  const art_test::Bmp bmp = art_test::read_bmp(picture.string());
  ASSERT_EQ(bmp.error, "");
  ASSERT_EQ(bmp.width, 800);
  ASSERT_EQ(bmp.height, 625);
  // Panels, not a cleared window: many colours in every band.
  for (int band = 0; band < 5; ++band) {
    std::set<std::tuple<int, int, int>> colours;
    for (int y = band * 125; y < (band + 1) * 125; y += 3) {
      for (int x = 0; x < 800; x += 3) {
        const uint8_t* p = bmp.pixel(x, y);
        colours.insert({p[0], p[1], p[2]});
      }
    }
    EXPECT_GT(colours.size(), 200u) << "band " << band;
  }
}

// Each case: what the folder holds, the arguments, the start of the line.
TEST(Snapshot, RefusesWithOneLine) {
  const struct {
    const char* what;
    std::vector<const char*> files;
    const char* arguments;
    const char* message;
  } cases[] = {
      {"no argument", {}, "", "zem-snapshot: usage: "},
      {"two arguments", {}, "a.bmp b.bmp", "zem-snapshot: usage: "},
      {"no archive", {}, "out.bmp", "zem-snapshot: OPENGL.ZPK cannot be read"},
      {"no layout",
       {"OPENGL.ZPK", "Test.ttf"},
       "out.bmp",
       "zem-snapshot: RC/TB303.RC cannot be read"},
      {"an included file missing",
       {"OPENGL.ZPK", "Test.ttf", "RC/TB303.RC", "RC/TB808.RC", "RC/OSC.RC"},
       "out.bmp",
       "zem-snapshot: LOAD_RC [RC/COMMON.RC]"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    temporary_folder folder;
    for (const char* file : c.files) {
      fs::create_directories((folder.path() / file).parent_path());
      fs::copy_file(runtime / file, folder.path() / file);
    }
    const run_result run = run_snapshot(folder.path(), c.arguments);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.error_output.rfind(c.message, 0), 0u) << run.error_output;
    EXPECT_EQ(std::count(run.error_output.begin(), run.error_output.end(), '\n'), 1)
        << run.error_output;
    EXPECT_FALSE(fs::exists(folder.path() / "out.bmp"));
  }
}

}  // namespace
