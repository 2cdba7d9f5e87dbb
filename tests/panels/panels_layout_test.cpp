// The layout reader and the layout dump, with the files served from memory.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "instrument_gui.h"
#include "layout_reader.h"
#include "texture_library.h"

namespace {

using layout_files = std::map<std::string, std::string>;

// What write puts on the stream it is given.
std::string captured(const std::function<void(std::FILE*)>& write) {
  char* buffer = nullptr;
  std::size_t size = 0;
  std::FILE* out = open_memstream(&buffer, &size);
  write(out);
  std::fclose(out);
  std::string text(buffer, size);
  std::free(buffer);
  return text;
}

// A drum panel's screen side at (0, 500).
class test_panel : public INSTRUMENT_GUI {
 public:
  test_panel() : INSTRUMENT_GUI("303_2", 0, 500, 4) { std::strcpy(engine_name, "TB808"); }
};

struct reading {
  std::optional<std::string> error;
  std::string trace;
};

// Reads section TB808 of "A.RC" for instrument number 4, opening files from layouts.
reading read(INSTRUMENT_GUI& panel, const layout_files& layouts) {
  const auto open = [&layouts](const char* path) -> std::FILE* {
    const auto file = layouts.find(path);
    if (file == layouts.end()) return nullptr;
    return fmemopen(const_cast<char*>(file->second.data()), file->second.size(), "r");
  };
  reading result;
  result.trace = captured([&](std::FILE* trace) {
    result.error = read_layout(panel, "A.RC", "TB808", 4, {open, trace});
  });
  return result;
}

// An item line at (0, 0), of size 1 x 1, showing "I".
std::string item(const std::string& name) {
  return "\"" + name + "\" \"I\" \"\" 0 0 1 1 0 ";
}

// "control_name image mask x y width height angle" of every item, in order.
std::vector<std::string> summary(const INSTRUMENT_GUI& panel) {
  std::vector<std::string> lines;
  for (const SPRITE* sprite : panel.items) {
    char line[256];
    std::snprintf(line, sizeof line, "%s %s %d %g %g %g %g %d", sprite->control_name, sprite->name,
                  sprite->mask_texture, sprite->x, sprite->y, sprite->width, sprite->height,
                  sprite->angle);
    lines.push_back(line);
  }
  return lines;
}

// A.RC includes F1.RC, which includes F2.RC, ... down to F<depth>.RC.
layout_files include_chain(int depth) {
  layout_files layouts{{"A.RC", "BEGIN TB808 INCLUDE F1.RC S END EOF"}};
  for (int level = 1; level <= depth; ++level) {
    char name[16];
    char next[32] = "";
    std::snprintf(name, sizeof name, "F%d.RC", level);
    if (level < depth) std::snprintf(next, sizeof next, "INCLUDE F%d.RC S", level + 1);
    layouts[name] = "BEGIN S " + item("L") + next + " END";
  }
  return layouts;
}

TEST(LayoutReader, ReadsItemsInFileOrderWithIncludesAtTheirPlace) {
  const std::string at_0 = " I 0 0 500 1 1 0";  // an item() as placed on the panel
  const struct {
    const char* what;
    layout_files layouts;
    std::vector<std::string> items;
  } cases[] = {
      {"a commented-out item is skipped; x and y are offset by the panel's origin",
       {{"A.RC",
         "BEGIN TB808\n\"A\" \"IA\" \"\" 1 2 3 4 5\n#\"B\" \"IB\" \"\" 1 2 3 4 5\n"
         "\"C\" \"IC\" \"M\" -6 +7 8 9 -10\nEND\nEOF\n"}},
       {"A_INSTRUMENT_4 IA 0 1 502 3 4 5", "C_INSTRUMENT_4 IC 0 -6 507 8 9 -10"}},
      {"includes nest, and may name another section of the including file",
       {{"A.RC", "BEGIN TB808 " + item("A") + "INCLUDE B.RC COMMON " + item("C") +
                     "END BEGIN SHARED " + item("S") + "END EOF"},
        {"B.RC", "BEGIN COMMON " + item("B") + "INCLUDE A.RC SHARED END EOF"}},
       {"A_INSTRUMENT_4" + at_0, "B_INSTRUMENT_4" + at_0, "S_INSTRUMENT_4" + at_0,
        "C_INSTRUMENT_4" + at_0}},
      {"text and other sections before the wanted one are skipped; 79 characters make a token",
       {{"A.RC", std::string(79, 'w') + " BEGIN OTHER " + item("X") +
                     "END free words BEGIN BEGIN TB808 " + item("A") + "END EOF"}},
       {"A_INSTRUMENT_4" + at_0}},
      {"a missing section leaves the panel empty", {{"A.RC", "BEGIN OTHER END EOF"}}, {}},
      {"any token containing EOF ends the search",
       {{"A.RC", "NOTEOFREALLY BEGIN TB808 " + item("A") + "END"}},
       {}},
      {"a text field EOF ends the reading of its file at once",
       {{"A.RC", "BEGIN TB808 " + item("A") + "INCLUDE B.RC S " + item("C") + "\"D\" \"I\" EOF"},
        {"B.RC", "BEGIN S " + item("B") + "\"X\" EOF"}},
       {"A_INSTRUMENT_4" + at_0, "B_INSTRUMENT_4" + at_0, "C_INSTRUMENT_4" + at_0}},
      {"the first and last characters of a text are dropped, whatever they are",
       {{"A.RC", "BEGIN TB808 'A' x \"\" 0 0 1 1 0 END"}},
       {"A_INSTRUMENT_4  0 0 500 1 1 0"}},
      {"includes nest eight deep", include_chain(8), std::vector(8, "L_INSTRUMENT_4" + at_0)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    test_panel panel;
    ASSERT_EQ(read(panel, c.layouts).error, std::nullopt);
    EXPECT_EQ(summary(panel), c.items);
  }
}

TEST(LayoutReader, PrintsItsTraceLines) {
  test_panel panel;
  EXPECT_EQ(read(panel, {{"A.RC",
                          "BEGIN TB808 #\"OLD\" \"I\" \"\" 0 0 0 0 0 "
                          "\"SLD_1_BASE\" \"KNOB\" \"M\" 10 20 8 9 45 INCLUDE B.RC S END"},
                         {"B.RC", "BEGIN T END EOF"}})
                .trace,
            "Instrument named [TB808]\n"
            "*************************\n"
            "Readin Commentary\n"
            "\tINSTANCIE [SLD_1_BASE][KNOB][M][10][20][8][9]\n"
            "INSTANCIE [SLD_1_BASE_INSTRUMENT_4]\n"
            "\tFilename to Open [B.RC] section [S]\n"
            "Instrument named [TB808]\n"
            "FIN FICHIER\n");
}

TEST(LayoutReader, DumpsTheItemsLastFirstRelativeToThePanel) {
  test_panel panel;
  ASSERT_EQ(read(panel, {{"A.RC", "BEGIN TB808 \"A\" \"IA\" \"\" 10 20 3 4 45 " + item("B") +
                                      "\"C\" \"IC\" \"\" 400 62 400 62 0 END"}})
                .error,
            std::nullopt);
  // The panel shows a new picture and a moved widget at the time of the dump.
  panel.items[1]->set_name("CHK_2_ON");
  panel.items[1]->set_position(-4, 508, 0);
  EXPECT_EQ(captured([&](std::FILE* out) { dump_layout(panel, out); }),
            "BEGIN TB808\n"
            "\"C_INSTRUMENT_4\" \"IC\" \"\" 400  62 400  62   0 \n"
            "\"B_INSTRUMENT_4\" \"CHK_2_ON\" \"\"  -4   8   1   1   0 \n"
            "\"A_INSTRUMENT_4\" \"IA\" \"\"  10  20   3   4   0 \n"
            "END\n");
}

TEST(LayoutReader, SetsTheMaskIndexAndDumpsItsName) {
  TEXTURE_LIBRARY library(nullptr);
  for (const char* name : {"T0", "T1", "T2", "T3", "T4", "T5", "T6", "T7"}) {
    library.register_texture(name, 1, 1);
  }
  TEXTURE_LIBRARY* const previous = texture_library;
  texture_library = &library;
  test_panel panel;
  const reading result =
      read(panel, {{"A.RC", "BEGIN TB808 \"A\" \"I\" \"T7\" 0 0 1 1 0 " + item("B") +
                                "\"C\" \"I\" \"NOPE\" 0 0 1 1 0 END"}});
  const std::string dumped = captured([&](std::FILE* out) { dump_layout(panel, out); });
  texture_library = previous;

  ASSERT_EQ(result.error, std::nullopt);
  ASSERT_EQ(panel.items.size(), 3u);
  EXPECT_EQ(panel.items[0]->mask_texture, 7);
  EXPECT_EQ(panel.items[1]->mask_texture, 0);
  EXPECT_EQ(panel.items[2]->mask_texture, 0);
  // Index 0 (no mask) is written as the name of the library's first texture.
  EXPECT_EQ(dumped,
            "BEGIN TB808\n"
            "\"C_INSTRUMENT_4\" \"I\" \"T0\"   0   0   1   1   0 \n"
            "\"B_INSTRUMENT_4\" \"I\" \"T0\"   0   0   1   1   0 \n"
            "\"A_INSTRUMENT_4\" \"I\" \"T7\"   0   0   1   1   0 \n"
            "END\n");
}

TEST(LayoutReader, StopsOnABrokenFileWithAMessageNamingIt) {
  const std::string sound = "BEGIN TB808 " + item("A");
  std::string many_includes = sound;
  for (int i = 0; i <= LAYOUT_INCLUDE_COUNT_MAX; ++i) many_includes += "INCLUDE B.RC S ";
  const struct {
    const char* what;
    layout_files layouts;
    std::string message;
  } cases[] = {
      {"no EOF marker", {{"A.RC", "BEGIN OTHER END"}}, "[A.RC] ends without its \"EOF\" marker"},
      {"no END", {{"A.RC", sound}}, "[A.RC] ends inside section [TB808], no END"},
      {"an item cut short",
       {{"A.RC", sound + "\"B\" \"I\" \"\" 0"}},
       "[A.RC] ends in the middle of item \"B\""},
      {"a token of 80 characters",
       {{"A.RC", sound + "INCLUDE B.RC S END"}, {"B.RC", std::string(80, 'x')}},
       "[B.RC] has a token longer than 79 characters: [" + std::string(20, 'x') + "...]"},
      {"an integer with trailing letters",
       {{"A.RC", sound + "\"B\" \"I\" \"\" 0 0 3x 1 0"}},
       "[A.RC] item \"B\": width is not an integer: [3x]"},
      {"an integer beyond 32 bits",
       {{"A.RC", sound + "\"B\" \"I\" \"\" 2147483648 0 1 1 0"}},
       "[A.RC] item \"B\": x is not an integer: [2147483648]"},
      {"a comment of free words",
       {{"A.RC", sound + "# a free comment 1 2 END"}},
       "[A.RC] comment #: x is not an integer: [comment]"},
      {"a section that includes itself",
       {{"A.RC", sound + "INCLUDE A.RC TB808 END"}},
       "[A.RC] includes section [TB808] of [A.RC], which is already being read"},
      {"a cycle through another file",
       {{"A.RC", sound + "INCLUDE B.RC S END"}, {"B.RC", "BEGIN S INCLUDE A.RC TB808 END"}},
       "[B.RC] includes section [TB808] of [A.RC], which is already being read"},
      {"includes nested nine deep", include_chain(9),
       "[F8.RC] includes section [S] of [F9.RC] deeper than 8 levels"},
      {"too many includes",
       {{"A.RC", many_includes}, {"B.RC", "BEGIN S END"}},
       "[A.RC] includes section [S] of [B.RC] after 256 included sections"},
      {"an include of a section that its file does not hold",
       {{"A.RC", sound + "INCLUDE B.RC NONE END"}, {"B.RC", "BEGIN S END EOF"}},
       "[A.RC] includes section [NONE] of [B.RC], which that file does not hold"},
      {"an include that cannot be opened",
       {{"A.RC", sound + "INCLUDE NONE.RC S END"}},
       "[NONE.RC] Coulnd't be open "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    test_panel panel;
    EXPECT_EQ(read(panel, c.layouts).error, "LOAD_RC " + c.message);
    EXPECT_TRUE(panel.items.empty()) << "nothing is applied from a broken file";
  }
}

// The program's reader ends the process with -1 after printing the message
// on standard output (sent to the death test's standard error here).
TEST(LayoutReaderDeathTest, EndsTheProcessOnABrokenOrMissingFile) {
  const struct {
    const char* path;
    const char* message;
  } cases[] = {
      {"/nonexistent-zem/TB808.RC", "LOAD_RC \\[/nonexistent-zem/TB808.RC\\] Coulnd't be open \n"},
      {"/dev/null", "LOAD_RC \\[/dev/null\\] ends without its \"EOF\" marker\n"},
      {"/", "LOAD_RC \\[/\\] could not be read\n"},  // a folder opens, but reads fail
  };
  for (const auto& c : cases) {
    test_panel panel;
    EXPECT_EXIT(
        {
          dup2(2, 1);
          read_rc_file(panel, c.path, "TB808", 0);
        },
        testing::ExitedWithCode(255), c.message);
  }
}

}  // namespace
