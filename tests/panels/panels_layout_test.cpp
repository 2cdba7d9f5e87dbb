// The layout reader and the layout dump, with the files served from memory.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "instrument_gui.h"
#include "layout_reader.h"
#include "texture_library.h"

namespace {

using layout_files = std::map<std::string, std::string>;

// Text written to an in-memory stream.
class captured_text {
 public:
  captured_text() : file_(open_memstream(&buffer_, &size_)) {}
  ~captured_text() {
    close();
    std::free(buffer_);
  }
  std::FILE* file() const { return file_; }
  std::string text() {
    close();
    return std::string(buffer_, size_);
  }

 private:
  void close() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
  }
  char* buffer_ = nullptr;
  std::size_t size_ = 0;
  std::FILE* file_;
};

// A drum panel's screen side at (0, 500).
class test_panel : public INSTRUMENT_GUI {
 public:
  test_panel() : INSTRUMENT_GUI("303_2", 0, 500, 4) { std::strcpy(engine_name, "TB808"); }
};

struct reading {
  std::optional<std::string> error;
  std::string trace;
};

// Reads the section of "A.RC" for instrument number 4; files are looked up
// by path in layouts.
reading read(INSTRUMENT_GUI& panel, const layout_files& layouts, const char* section = "TB808") {
  captured_text trace;
  const layout_source source{[&layouts](const char* path) -> std::FILE* {
                               const auto file = layouts.find(path);
                               if (file == layouts.end()) return nullptr;
                               return fmemopen(const_cast<char*>(file->second.data()),
                                               file->second.size(), "r");
                             },
                             trace.file()};
  const auto error = read_layout(panel, "A.RC", section, 4, source);
  return {error, trace.text()};
}

// "control_name image mask x y width height angle" of every item, in order.
std::vector<std::string> summary(const INSTRUMENT_GUI& panel) {
  std::vector<std::string> lines;
  for (const SPRITE* item : panel.items) {
    char line[256];
    std::snprintf(line, sizeof line, "%s %s %d %g %g %g %g %d", item->control_name, item->name,
                  item->mask_texture, item->x, item->y, item->width, item->height, item->angle);
    lines.push_back(line);
  }
  return lines;
}

std::string dump(INSTRUMENT_GUI& panel) {
  captured_text out;
  dump_layout(panel, out.file());
  return out.text();
}

// A.RC includes F1.RC, which includes F2.RC, ... down to F<depth>.RC.
layout_files include_chain(int depth) {
  layout_files layouts{{"A.RC", "BEGIN TB808 INCLUDE F1.RC S END EOF"}};
  for (int level = 1; level <= depth; ++level) {
    const std::string next = level < depth ? "INCLUDE F" + std::to_string(level + 1) + ".RC S" : "";
    layouts["F" + std::to_string(level) + ".RC"] =
        "BEGIN S \"L" + std::to_string(level) + "\" \"I\" \"\" 0 0 1 1 0 " + next + " END";
  }
  return layouts;
}

// The items that include_chain(depth) gives, in order.
std::vector<std::string> chain_items(int depth) {
  std::vector<std::string> items;
  for (int level = 1; level <= depth; ++level) {
    items.push_back("L" + std::to_string(level) + "_INSTRUMENT_4 I 0 0 500 1 1 0");
  }
  return items;
}

// Installs a texture library whose slot i holds "T<i>" for the test's span.
class installed_library {
 public:
  installed_library() : library_("/dev/null", nullptr), previous_(texture_library) {
    for (int i = 0; i < 8; ++i) library_.register_texture(("T" + std::to_string(i)).c_str(), 1, 1);
    texture_library = &library_;
  }
  ~installed_library() { texture_library = previous_; }

 private:
  TEXTURE_LIBRARY library_;
  TEXTURE_LIBRARY* previous_;
};

struct grammar_case {
  const char* what;
  layout_files layouts;
  std::vector<std::string> items;
};

TEST(LayoutReader, ReadsItemsInFileOrderWithIncludesAtTheirPlace) {
  const std::string long_word(79, 'w');
  const grammar_case cases[] = {
      {"a commented-out item is skipped",
       {{"A.RC",
         "BEGIN TB808\n\"A\" \"IA\" \"\" 1 2 3 4 5\n#\"B\" \"IB\" \"\" 1 2 3 4 5\n"
         "\"C\" \"IC\" \"\" -6 +7 8 9 -10\nEND\nEOF\n"}},
       {"A_INSTRUMENT_4 IA 0 1 502 3 4 5", "C_INSTRUMENT_4 IC 0 -6 507 8 9 -10"}},
      {"includes nest, and may name another section of the including file",
       {{"A.RC",
         "BEGIN TB808 \"A\" \"IA\" \"\" 1 1 1 1 0 INCLUDE B.RC COMMON \"C\" \"IC\" \"\" 3 3 1 1 0 "
         "END BEGIN SHARED \"S\" \"IS\" \"\" 4 4 1 1 0 END EOF"},
        {"B.RC", "BEGIN COMMON \"B\" \"IB\" \"\" 2 2 1 1 0 INCLUDE A.RC SHARED END EOF"}},
       {"A_INSTRUMENT_4 IA 0 1 501 1 1 0", "B_INSTRUMENT_4 IB 0 2 502 1 1 0",
        "S_INSTRUMENT_4 IS 0 4 504 1 1 0", "C_INSTRUMENT_4 IC 0 3 503 1 1 0"}},
      {"text and other sections before the wanted one are skipped",
       {{"A.RC", long_word +
                     " BEGIN OTHER \"X\" \"IX\" \"\" 0 0 0 0 0 END free words BEGIN BEGIN TB808 "
                     "\"A\" \"IA\" \"\" 0 0 1 1 0 END EOF"}},
       {"A_INSTRUMENT_4 IA 0 0 500 1 1 0"}},
      {"a missing section leaves the panel empty",
       {{"A.RC", "BEGIN OTHER \"X\" \"IX\" \"\" 0 0 0 0 0 END EOF"}},
       {}},
      {"any token containing EOF ends the search",
       {{"A.RC", "NOTEOFREALLY BEGIN TB808 \"A\" \"IA\" \"\" 0 0 1 1 0 END"}},
       {}},
      {"a text field EOF ends the reading of its file at once",
       {{"A.RC",
         "BEGIN TB808 \"A\" \"IA\" \"\" 0 0 1 1 0 INCLUDE B.RC S \"C\" \"IC\" \"\" 0 0 1 1 0 "
         "\"D\" \"ID\" EOF"},
        {"B.RC", "BEGIN S \"B\" \"IB\" \"\" 0 0 1 1 0 \"X\" EOF"}},
       {"A_INSTRUMENT_4 IA 0 0 500 1 1 0", "B_INSTRUMENT_4 IB 0 0 500 1 1 0",
        "C_INSTRUMENT_4 IC 0 0 500 1 1 0"}},
      {"an include of a missing section reads on",
       {{"A.RC", "BEGIN TB808 INCLUDE B.RC NONE \"A\" \"IA\" \"\" 0 0 1 1 0 END"},
        {"B.RC", "BEGIN S END EOF"}},
       {"A_INSTRUMENT_4 IA 0 0 500 1 1 0"}},
      {"the first and last characters of a text are dropped, whatever they are",
       {{"A.RC", "BEGIN TB808 'A' x \"\" 0 0 1 1 0 END"}},
       {"A_INSTRUMENT_4  0 0 500 1 1 0"}},
      {"includes nest eight deep", include_chain(8), chain_items(8)},
  };
  for (const grammar_case& c : cases) {
    SCOPED_TRACE(c.what);
    test_panel panel;
    const reading result = read(panel, c.layouts);
    ASSERT_EQ(result.error, std::nullopt);
    EXPECT_EQ(summary(panel), c.items);
  }
}

TEST(LayoutReader, PrintsItsTraceLines) {
  test_panel panel;
  const reading result = read(panel, {{"A.RC",
                                       "BEGIN TB808 #\"OLD\" \"I\" \"\" 0 0 0 0 0 INCLUDE B.RC S "
                                       "\"SLD_1_BASE\" \"KNOB\" \"M\" 10 20 8 9 45 END"},
                                      {"B.RC", "BEGIN T END EOF"}});
  EXPECT_EQ(result.trace,
            "Instrument named [TB808]\n"
            "*************************\n"
            "Readin Commentary\n"
            "\tFilename to Open [B.RC] section [S]\n"
            "Instrument named [TB808]\n"
            "FIN FICHIER\n"
            "\tINSTANCIE [SLD_1_BASE][KNOB][M][10][20][8][9]\n"
            "INSTANCIE [SLD_1_BASE_INSTRUMENT_4]\n");
}

TEST(LayoutReader, DumpsTheItemsLastFirstRelativeToThePanel) {
  test_panel panel;
  ASSERT_EQ(read(panel, {{"A.RC",
                          "BEGIN TB808 \"A\" \"IA\" \"\" 10 20 3 4 45 \"B\" \"IB\" \"\" 0 0 1 2 0 "
                          "\"C\" \"IC\" \"\" 400 62 400 62 0 END"}})
                .error,
            std::nullopt);
  // The panel shows a new picture and a moved widget at the time of the dump.
  panel.items[1]->set_name("CHK_2_ON");
  panel.items[1]->set_position(-4, 508, 0);
  EXPECT_EQ(dump(panel),
            "BEGIN TB808\n"
            "\"C_INSTRUMENT_4\" \"IC\" \"\" 400  62 400  62   0 \n"
            "\"B_INSTRUMENT_4\" \"CHK_2_ON\" \"\"  -4   8   1   2   0 \n"
            "\"A_INSTRUMENT_4\" \"IA\" \"\"  10  20   3   4   0 \n"
            "END\n");
}

TEST(LayoutReader, SetsTheMaskIndexAndDumpsItsName) {
  const installed_library library;
  test_panel panel;
  ASSERT_EQ(read(panel, {{"A.RC",
                          "BEGIN TB808 \"A\" \"I\" \"T7\" 0 0 1 1 0 \"B\" \"I\" \"\" 0 0 1 1 0 "
                          "\"C\" \"I\" \"NOPE\" 0 0 1 1 0 END"}})
                .error,
            std::nullopt);
  ASSERT_EQ(panel.items.size(), 3u);
  EXPECT_EQ(panel.items[0]->mask_texture, 7);
  EXPECT_EQ(panel.items[1]->mask_texture, 0);
  EXPECT_EQ(panel.items[2]->mask_texture, 0);
  // Index 0 (no mask) is written as the name of the library's first texture.
  EXPECT_EQ(dump(panel),
            "BEGIN TB808\n"
            "\"C_INSTRUMENT_4\" \"I\" \"T0\"   0   0   1   1   0 \n"
            "\"B_INSTRUMENT_4\" \"I\" \"T0\"   0   0   1   1   0 \n"
            "\"A_INSTRUMENT_4\" \"I\" \"T7\"   0   0   1   1   0 \n"
            "END\n");
  EXPECT_STREQ(panel.items[0]->mask_name, "T7");
}

struct bad_input_case {
  const char* what;
  layout_files layouts;
  const char* faulty_file;
  const char* message;
};

TEST(LayoutReader, StopsOnABrokenFileWithAMessageNamingIt) {
  const std::string sound = "BEGIN TB808 \"A\" \"IA\" \"\" 0 0 1 1 0 ";
  std::string many_includes = sound;
  for (int i = 0; i <= LAYOUT_INCLUDE_COUNT_MAX; ++i) many_includes += "INCLUDE B.RC S ";
  const bad_input_case cases[] = {
      {"no EOF marker", {{"A.RC", "BEGIN OTHER END"}}, "A.RC", "ends without its \"EOF\" marker"},
      {"no END", {{"A.RC", sound}}, "A.RC", "ends inside section [TB808], no END"},
      {"an item cut short",
       {{"A.RC", sound + "\"B\" \"IB\" \"\" 0"}},
       "A.RC",
       "ends in the middle of item \"B\""},
      {"a token of 80 characters",
       {{"A.RC", sound + "INCLUDE B.RC S END"}, {"B.RC", std::string(80, 'x')}},
       "B.RC",
       "has a token longer than 79 characters: [xxxxxxxxxxxxxxxxxxxx...]"},
      {"an integer with trailing letters",
       {{"A.RC", sound + "\"B\" \"IB\" \"\" 0 0 3x 1 0"}},
       "A.RC",
       "item \"B\": width is not an integer: [3x]"},
      {"an integer beyond 32 bits",
       {{"A.RC", sound + "\"B\" \"IB\" \"\" 2147483648 0 1 1 0"}},
       "A.RC",
       "item \"B\": x is not an integer: [2147483648]"},
      {"a comment of free words",
       {{"A.RC", sound + "# a free comment 1 2 END"}},
       "A.RC",
       "comment #: x is not an integer: [comment]"},
      {"a section that includes itself",
       {{"A.RC", sound + "INCLUDE A.RC TB808 END"}},
       "A.RC",
       "includes section [TB808] of [A.RC], which is already being read"},
      {"a cycle through another file",
       {{"A.RC", sound + "INCLUDE B.RC S END"}, {"B.RC", "BEGIN S INCLUDE A.RC TB808 END"}},
       "B.RC",
       "includes section [TB808] of [A.RC], which is already being read"},
      {"includes nested nine deep", include_chain(9), "F8.RC",
       "includes section [S] of [F9.RC] deeper than 8 levels"},
      {"too many includes",
       {{"A.RC", many_includes}, {"B.RC", "BEGIN S END"}},
       "A.RC",
       "includes section [S] of [B.RC] after 256 included sections"},
      {"an include that cannot be opened",
       {{"A.RC", sound + "INCLUDE NONE.RC S END"}},
       "NONE.RC",
       "Coulnd't be open "},
  };
  for (const bad_input_case& c : cases) {
    SCOPED_TRACE(c.what);
    test_panel panel;
    const reading result = read(panel, c.layouts);
    EXPECT_EQ(result.error, std::string("LOAD_RC [") + c.faulty_file + "] " + c.message);
    EXPECT_TRUE(panel.items.empty()) << "nothing is applied from a broken file";
  }
}

// The program's reader ends the process with -1 after printing the message
// on standard output (sent to the death test's standard error here).
TEST(LayoutReaderDeathTest, EndsTheProcessOnABrokenOrMissingFile) {
  test_panel panel;
  EXPECT_EXIT(
      {
        dup2(2, 1);
        read_rc_file(panel, "/nonexistent-zem/TB808.RC", "TB808", 0);
      },
      testing::ExitedWithCode(255), "LOAD_RC \\[/nonexistent-zem/TB808.RC\\] Coulnd't be open \n");
  EXPECT_EXIT(
      {
        dup2(2, 1);
        read_rc_file(panel, "/dev/null", "TB808", 0);
      },
      testing::ExitedWithCode(255), "LOAD_RC \\[/dev/null\\] ends without its \"EOF\" marker\n");
}

}  // namespace
