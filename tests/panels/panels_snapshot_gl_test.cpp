// zem-snapshot, run as a user runs it: the first picture of the rack from the
// runtime folder, and one line with status 2 for what it cannot work with.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "art_files.h"
#include "child_process.h"
#include "leak_suppressions.h"
#include "temp_folder.h"

namespace fs = std::filesystem;

namespace {

// Runs the tool in folder; sanitizer builds get the shared leak list. Not
// with full stacks, which slow the GL start-up down to minutes: the tool
// loads no sound plugins, whose leaks need them.
zem_test::run_result run_snapshot(const fs::path& folder, std::vector<std::string> arguments) {
  const zem_test::temp_folder scratch;
  const std::string suppressions = scratch.file("leaks.txt");
  std::ofstream(suppressions) << zem_test::leak_suppressions();
  zem_test::launch how;
  how.arguments = std::move(arguments);
  how.folder = folder.string();
  how.environment = {"LSAN_OPTIONS=print_suppressions=0:suppressions=" + suppressions};
  how.capture_errors = true;
  return zem_test::program(ZEM_SNAPSHOT_PATH, how).finish();
}

const fs::path runtime = ZEM_RUNTIME_DIR;

TEST(Snapshot, WritesTheFirstPictureOfTheRack) {
  const zem_test::temp_folder out;
  const fs::path picture = out.path() / "rack.bmp";
  const zem_test::run_result run = run_snapshot(runtime, {picture.string()});
  ASSERT_EQ(run.status(), 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, "") << "the program's console trace stays out";
  EXPECT_FALSE(fs::exists(picture.string() + ".partial"));
  const art_test::bmp_file bmp = art_test::read_bmp(picture.string());
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

TEST(Snapshot, NamesThePictureItCannotWrite) {
  const zem_test::run_result run = run_snapshot(runtime, {"no-such-folder/rack.bmp"});
  EXPECT_EQ(run.status(), 2);
  EXPECT_EQ(run.err, "zem-snapshot: cannot write no-such-folder/rack.bmp\n");
  const zem_test::temp_folder out;  // past the file-size limit: nothing left behind
  zem_test::launch how;
  how.arguments = {"-c", "ulimit -f 100; exec " ZEM_SNAPSHOT_PATH " " + out.file("lim.bmp")};
  how.folder = runtime.string();
  how.environment = {"ASAN_OPTIONS=detect_leaks=0"};
  how.capture_errors = true;
  const zem_test::run_result limited = zem_test::program("/bin/sh", how).finish();
  EXPECT_EQ(limited.status(), 2);
  EXPECT_EQ(limited.err, "zem-snapshot: cannot write " + out.file("lim.bmp") + "\n");
  EXPECT_TRUE(out.entries().empty());
}

// Each case: what the folder holds, the arguments, the start of the line,
// and a bass-line layout of its own when one is given.
TEST(Snapshot, RefusesWithOneLine) {
  const struct {
    const char* what;
    std::vector<const char*> files;
    std::vector<std::string> arguments;
    const char* message;
    const char* bass_layout = nullptr;
  } cases[] = {
      {"no argument", {}, {}, "zem-snapshot: usage: "},
      {"two arguments", {}, {"a.bmp", "b.bmp"}, "zem-snapshot: usage: "},
      {"no archive", {}, {"out.bmp"}, "zem-snapshot: OPENGL.ZPK cannot be read"},
      {"no layout",
       {"OPENGL.ZPK", "Test.ttf"},
       {"out.bmp"},
       "zem-snapshot: RC/TB303.RC cannot be read"},
      {"an included file missing",
       {"OPENGL.ZPK", "Test.ttf", "RC/TB303.RC", "RC/TB808.RC", "RC/OSC.RC"},
       {"out.bmp"},
       "zem-snapshot: LOAD_RC [RC/COMMON.RC]"},
      {"a label linked to no widget, found while drawing",
       {"OPENGL.ZPK", "textures", "Test.ttf", "RC/COMMON.RC", "RC/TB808.RC", "RC/OSC.RC"},
       {"out.bmp"},
       "zem-snapshot: Your RC failed Line [LABEL;Vol;SLD_9_BASE;;_INSTRUMENT_1] Linked to "
       "[SLD_9_BASE] SLD_9_BASE Doesn't seem to exist\n",
       "BEGIN TB303\n\"LABEL;Vol;SLD_9_BASE;;\" \"NONE\" \"\" 0 0 0 0 0\nEND\nEOF\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const zem_test::temp_folder folder;
    for (const char* file : c.files) {
      fs::create_directories((folder.path() / file).parent_path());
      fs::copy(runtime / file, folder.path() / file, fs::copy_options::recursive);
    }
    if (c.bass_layout) std::ofstream(folder.path() / "RC/TB303.RC") << c.bass_layout;
    const zem_test::run_result run = run_snapshot(folder.path(), c.arguments);
    EXPECT_EQ(run.status(), 2);
    EXPECT_EQ(run.err.rfind(c.message, 0), 0u) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_FALSE(fs::exists(folder.path() / "out.bmp"));
  }
}

}  // namespace
