// The MIDI bindings' text form and file: good lines kept, bad ones reported
// by number and skipped, the text read back as written, and the file in the
// user's configuration folder, refused when it is no regular file.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "bindings_file.h"
#include "midi_bindings.h"
#include "temp_folder.h"

namespace {

TEST(MidiBindings, GoodLinesAreKeptAndEachBadLineIsReportedByItsNumber) {
  // Panel 1 holds drums, 2 a bass line, 3 the oscillators, 5 drums.
  const std::string text =
      "# my controller\n"
      "channel 1 cc 74 -> panel 2 SLD_3_BASE\n"
      "\n"
      "  channel\t16  cc 0 ->  panel 1 BUTTON_TOGGLE_SEQ_7 \r\n"
      "channel 17 cc 1 -> panel 1 SLD_1_BASE\n"
      "channel 1 cc 128 -> panel 1 SLD_1_BASE\n"
      "channel 1 cc 5 -> panel 6 SLD_1_BASE\n"
      "channel 1 cc 5 -> panel 2 SLD_PARAM3\n"
      "channel 1 cc 5 -> panel 3 SLD_12_NOTE\n"
      "channel one cc 5 -> panel 2 SLD_1_BASE\n"
      "channel 1 cc 5 panel 2 SLD_1_BASE\n"
      "channel -1 cc 5 -> panel 2 SLD_1_BASE\n"
      "channel 2 cc 7 -> panel 3 SLD_7_NOTE\n"
      "channel 1 cc 74 -> panel 5 SLD_PARAM1\n"  // takes controller 74 from line 2
      "channel 3 cc 9 -> panel 5 SLD_PARAM1\n"   // takes the control from line 14
      "channel 1 cc 5 -> panel 2 SLD_\x01\xff\n"
      "channel 1 cc 5 -> panel 3 BUTTON_TOGGLE_OSC_1_TYPE\n"
      "garbage";
  const parsed_bindings parsed = parse_bindings(text);

  const std::string shape = "expected \"channel <1-16> cc <0-127> -> panel <1-5> <control>\"";
  const std::vector<std::pair<int, std::string>> bad = {
      {5, "channel 17 is not 1 to 16"},
      {6, "cc 128 is not 0 to 127"},
      {7, "panel 6 is not 1 to 5"},
      {8, "panel 2 (TB303) has no control SLD_PARAM3"},
      {9, "panel 3 (OSC) has no control SLD_12_NOTE"},
      {10, shape},
      {11, shape},
      {12, shape},
      {16, "panel 2 (TB303) has no control SLD_??"},
      {17, "panel 3 (OSC) has no control BUTTON_TOGGLE_OSC_1_TYPE"},
      {18, shape},
  };
  ASSERT_EQ(parsed.errors.size(), bad.size());
  for (std::size_t i = 0; i < bad.size(); ++i) {
    EXPECT_EQ(parsed.errors[i].line, bad[i].first);
    EXPECT_EQ(parsed.errors[i].message, bad[i].second) << bad[i].first;
  }
  EXPECT_EQ(parsed.errors[0].text, "channel 17 cc 1 -> panel 1 SLD_1_BASE");

  const std::string kept =
      "channel 2 cc 7 -> panel 3 SLD_7_NOTE\n"
      "channel 3 cc 9 -> panel 5 SLD_PARAM1\n"
      "channel 16 cc 0 -> panel 1 BUTTON_TOGGLE_SEQ_7\n";
  EXPECT_EQ(format_bindings(parsed.bindings), kept);
  // The text form reads back as it was written.
  const parsed_bindings again = parse_bindings(kept);
  EXPECT_TRUE(again.errors.empty());
  EXPECT_EQ(format_bindings(again.bindings), kept);
  EXPECT_EQ(again.bindings[0].target.step, 7);
}

TEST(MidiBindings, TheFileLivesInTheConfigurationFolder) {
  struct row {
    std::optional<const char*> xdg, home;
    std::string path;
  };
  const row rows[] = {
      {"/conf", "/home/u", "/conf/zem/midi-bindings.txt"},
      {"", "/home/u", "/home/u/.config/zem/midi-bindings.txt"},
      {"relative", "/home/u", "/home/u/.config/zem/midi-bindings.txt"},
      {std::nullopt, "/home/u", "/home/u/.config/zem/midi-bindings.txt"},
      {std::nullopt, std::nullopt, ""},
  };
  const std::string xdg = getenv("XDG_CONFIG_HOME") ? getenv("XDG_CONFIG_HOME") : "";
  const std::string home = getenv("HOME") ? getenv("HOME") : "";
  for (const row& r : rows) {
    r.xdg ? setenv("XDG_CONFIG_HOME", *r.xdg, 1) : unsetenv("XDG_CONFIG_HOME");
    r.home ? setenv("HOME", *r.home, 1) : unsetenv("HOME");
    EXPECT_EQ(bindings_file_path(), r.path);
  }
  setenv("XDG_CONFIG_HOME", xdg.c_str(), 1);
  setenv("HOME", home.c_str(), 1);
}

TEST(MidiBindings, TheFileIsWrittenWithItsFolderAndReadOnlyWhenRegular) {
  const zem_test::temp_folder folder;
  const std::string path = folder.file("a/b/zem/midi-bindings.txt");
  std::string text = "stale", error;
  EXPECT_TRUE(read_bindings_file(path, text, error));  // none yet: no bindings
  EXPECT_EQ(text, "");
  ASSERT_TRUE(write_bindings_file(path, "channel 1 cc 1 -> panel 1 SLD_1_BASE\n", error)) << error;
  EXPECT_TRUE(read_bindings_file(path, text, error));
  EXPECT_EQ(text, "channel 1 cc 1 -> panel 1 SLD_1_BASE\n");

  // A folder or a FIFO in its place is refused at once, without waiting.
  ASSERT_EQ(mkfifo(folder.file("fifo").c_str(), 0600), 0);
  for (const std::string& odd : {folder.file("a"), folder.file("fifo")}) {
    EXPECT_FALSE(read_bindings_file(odd, text, error)) << odd;
    EXPECT_NE(error.find("cannot read " + odd), std::string::npos) << error;
  }
  EXPECT_FALSE(write_bindings_file(folder.file("fifo/x/midi-bindings.txt"), "", error));
}

}  // namespace
