// Pattern files by name: a save never destroys an existing file, a load of a
// file that cannot be read or is not the instrument's says why in one line and
// changes nothing.
#include "pattern_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "osc.h"
#include "pattern_images.h"
#include "tb808.h"
#include "temp_folder.h"

namespace {

using zem_test::read_file;
using zem_test::temp_folder;

void write_bytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string load_error(INSTRUMENT& instrument, const std::string& path) {
  std::string error;
  EXPECT_FALSE(load_pattern(instrument, path, error)) << path;
  EXPECT_EQ(error.find('\n'), std::string::npos) << error;
  return error;
}

TEST(PatternFile, SavedFileLoadsIntoAnotherInstrumentOfTheSameEngine) {
  temp_folder folder;
  TB808 saved;
  saved.pattern_memory[4][2] = 1;
  saved.current_pattern = 4;
  std::string error;
  ASSERT_TRUE(save_pattern(saved, folder.file("beat.sta"), error)) << error;
  EXPECT_EQ(read_file(folder.file("beat.sta")).size(), 260348u);
  EXPECT_EQ(folder.entries(), std::vector<std::string>{"beat.sta"});

  TB808 loaded;
  ASSERT_TRUE(load_pattern(loaded, folder.file("beat.sta"), error)) << error;
  EXPECT_EQ(loaded.pattern_memory[4][2], 1);
  EXPECT_EQ(loaded.current_pattern, 4);
}

TEST(PatternFile, UnreadableOrForeignFilesSayWhyAndChangeNothing) {
  temp_folder folder;
  OSC oscillators;
  std::string error;
  ASSERT_TRUE(save_pattern(oscillators, folder.file("synth.sta"), error)) << error;
  write_bytes(folder.file("big.sta"), std::string(300000, '\0'));
  std::filesystem::create_directory(folder.file("folder.sta"));
  // Nobody writes into the FIFO: a reader that waited for it would never end.
  ASSERT_EQ(::mkfifo(folder.file("fifo.sta").c_str(), 0600), 0);
  const std::string missing = folder.file("missing.sta");
  struct refusal_case {
    std::string path;
    std::string message;
  };
  const std::vector<refusal_case> cases = {
      {missing, "cannot open " + missing + ": No such file or directory"},
      {folder.file("folder.sta"), "cannot read " + folder.file("folder.sta") + ": Is a directory"},
      {folder.file("fifo.sta"),
       "cannot read " + folder.file("fifo.sta") + ": not a regular file (a FIFO)"},
      {folder.file("synth.sta"),
       folder.file("synth.sta") + ": not a TB808 pattern file: 1296 bytes"},
      {folder.file("big.sta"), folder.file("big.sta") + ": not a TB808 pattern file: 300000 bytes"},
  };
  TB808 drum;
  drum.pattern_memory[0][5] = 1;
  const image_bytes before = image_of(drum);
  for (const refusal_case& c : cases) {
    EXPECT_EQ(load_error(drum, c.path), c.message);
    EXPECT_EQ(image_of(drum), before) << c.path;
  }
}

// Writing a file fails past this size, as on a full disk; the signal that
// would end the process is ignored meanwhile.
class file_size_limit {
 public:
  explicit file_size_limit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    previous_handler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~file_size_limit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previous_handler_);
  }

 private:
  rlimit saved_{};
  void (*previous_handler_)(int) = nullptr;
};

TEST(PatternFile, FailedSaveSaysSoAndLeavesTheOldFileIntact) {
  struct failure_case {
    const char* what;
    std::function<void(TB808&)> prepare;
    std::string path_in_folder;
    std::string reason;
    rlim_t size_limit = RLIM_INFINITY;
  };
  const std::vector<failure_case> cases = {
      {"full disk", [](TB808&) {}, "old.sta", "File too large", 4096},
      {"missing folder", [](TB808&) {}, "no/old.sta", "No such file or directory"},
      {"state that could not be loaded back", [](TB808& drum) { drum.step_count = 300; }, "old.sta",
       "step_count 300 is outside 1 to 255"},
  };
  for (const failure_case& c : cases) {
    SCOPED_TRACE(c.what);
    temp_folder folder;
    write_bytes(folder.file("old.sta"), "the old patterns");
    TB808 drum;
    c.prepare(drum);
    std::string error;
    bool saved;
    {
      file_size_limit limit(c.size_limit);
      saved = save_pattern(drum, folder.file(c.path_in_folder), error);
    }
    EXPECT_FALSE(saved);
    EXPECT_NE(error.find(folder.file(c.path_in_folder)), std::string::npos) << error;
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    EXPECT_EQ(read_file(folder.file("old.sta")), "the old patterns");
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"old.sta"});  // no temporary left
  }
}

}  // namespace
