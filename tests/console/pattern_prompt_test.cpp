// The console operations: the screen is cleared, the pattern files listed, the
// prompt printed, one word read whatever the input (end of input, an empty
// line, a name far longer than the buffer, a terminal left in raw mode).
#include "pattern_prompt.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "tb303.h"
#include "temp_folder.h"

namespace {

using zem_test::temp_folder;

// A console whose input is `typed` and whose output is collected.
class scripted_console {
 public:
  scripted_console(const temp_folder& folder, std::string typed) : typed_(std::move(typed)) {
    console.in =
        typed_.empty() ? std::fopen("/dev/null", "r") : fmemopen(typed_.data(), typed_.size(), "r");
    console.out = open_memstream(&output_, &output_size_);
    console.folder = folder.path();
  }
  ~scripted_console() {
    std::fclose(console.in);
    std::fclose(console.out);
    std::free(output_);
  }
  std::string output() {
    std::fflush(console.out);
    return {output_, output_size_};
  }

  pattern_console console;

 private:
  std::string typed_;
  char* output_ = nullptr;
  size_t output_size_ = 0;
};

TEST(PatternPrompt, ClearsTheScreenListsThePatternFilesAndAsks) {
  temp_folder folder;
  for (const char* name : {"b.sta", "a.sta", "notes.txt", "c.sta.bak"})
    std::ofstream(folder.file(name)) << "x";
  scripted_console typed(folder, "\n");
  EXPECT_FALSE(ask_pattern_file_name(typed.console));
  EXPECT_EQ(typed.output(),
            "\033[H\033[2Ja.sta\nb.sta\nEntrez le nom du fichier svp : "
            "cancelled: no file name given\n");
}

// A name is taken whole or refused with one line saying why, never cut to 79
// characters or to its first word, which would name another file.
TEST(PatternPrompt, TakesTheWholeNameOrSaysWhyNot) {
  temp_folder folder;
  const std::string long_name(300, 'n');
  struct typed_case {
    std::string typed;
    std::optional<std::string> name;
    std::string said = "";  // what is printed after the prompt
  };
  const std::vector<typed_case> cases = {
      {"song.sta\n", "song.sta"},
      {"  song.sta \t\r\nnext line\n", "song.sta"},
      {"last.sta", "last.sta"},  // ended by the end of input
      {long_name.substr(0, 79) + "\n", long_name.substr(0, 79)},
      {long_name.substr(0, 80) + "\n", std::nullopt, "refused: the name is longer than 79"},
      {long_name + long_name + long_name + long_name + ".sta\n", std::nullopt, "refused: the name"},
      {"my song.sta\n", std::nullopt, "refused: a file name is one word, without blanks: 'my song"},
      {"\033[Asong.sta\n", std::nullopt, "refused: a file name cannot hold control characters"},
      {"\n", std::nullopt},
      {" \t \n", std::nullopt},
      {"", std::nullopt},
  };
  for (const typed_case& c : cases) {
    scripted_console typed(folder, c.typed);
    EXPECT_EQ(ask_pattern_file_name(typed.console), c.name) << c.typed;
    EXPECT_NE(typed.output().find(pattern_prompt + c.said), std::string::npos) << typed.output();
  }
}

// The keys typed after the name stay for the program's key reader, which
// reads the descriptor itself.
TEST(PatternPrompt, LeavesTheBytesAfterTheLineOnTheDescriptor) {
  temp_folder folder;
  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  ASSERT_EQ(::write(ends[1], "song.sta\nqx", 11), 11);
  ::close(ends[1]);
  pattern_console console;
  console.in = ::fdopen(ends[0], "r");
  console.out = std::fopen("/dev/null", "w");
  console.folder = folder.path();
  EXPECT_EQ(ask_pattern_file_name(console), "song.sta");
  char rest[4] = {};
  EXPECT_EQ(::read(ends[0], rest, sizeof rest), 2);
  EXPECT_STREQ(rest, "qx");
  std::fclose(console.in);
  std::fclose(console.out);
}

TEST(PatternPrompt, SaveAndLoadThroughThePromptReturnWhatHappened) {
  temp_folder folder;
  TB303 bass;
  bass.pattern_memory[2][3] = 330.0f;
  const std::string long_name(79, 's');  // the longest name taken
  {
    scripted_console typed(folder, long_name + "\n");
    EXPECT_EQ(save_pattern_file(bass, typed.console), 1);
    EXPECT_NE(typed.output().find("saved " + folder.file(std::string(79, 's'))), std::string::npos);
  }
  EXPECT_EQ(folder.entries(), std::vector<std::string>{std::string(79, 's')});

  TB303 loaded;
  {
    scripted_console typed(folder, std::string(79, 's') + "\n");
    EXPECT_EQ(load_pattern_file(loaded, typed.console), 1);
    EXPECT_EQ(loaded.pattern_memory[2][3], 330.0f);
  }
  {
    scripted_console typed(folder, "absent.sta\n");
    EXPECT_EQ(load_pattern_file(loaded, typed.console), 0);
    EXPECT_NE(typed.output().find("cannot open " + folder.file("absent.sta")), std::string::npos);
  }
  for (const char* typed_text : {"", "\n"}) {  // end of input, empty name
    scripted_console typed(folder, typed_text);
    EXPECT_EQ(save_pattern_file(bass, typed.console), 0);
    EXPECT_EQ(load_pattern_file(loaded, typed.console), 0);
    EXPECT_NE(typed.output().find("cancelled"), std::string::npos);
  }
  EXPECT_EQ(folder.entries(), std::vector<std::string>{std::string(79, 's')});
}

// What the terminal shows next, or nothing after five seconds of silence.
std::string next_output(int user_side) {
  pollfd ready{user_side, POLLIN, 0};
  if (::poll(&ready, 1, 5000) != 1) return {};
  char chunk[256];
  const ssize_t n = ::read(user_side, chunk, sizeof chunk);
  return n > 0 ? std::string(chunk, static_cast<size_t>(n)) : std::string();
}

// The start-up menus leave the terminal reading raw, unechoed keys. The
// prompt reads an echoed line meanwhile and puts the raw mode back. What was
// typed before the prompt showed is no answer to it.
TEST(PatternPrompt, ATerminalInRawModeReadsAnEchoedLineThenGoesBack) {
  int terminal = -1, user_side = -1;
  ASSERT_EQ(::openpty(&user_side, &terminal, nullptr, nullptr, nullptr), 0);
  termios raw;
  ASSERT_EQ(::tcgetattr(terminal, &raw), 0);
  raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
  ASSERT_EQ(::tcsetattr(terminal, TCSANOW, &raw), 0);

  ASSERT_EQ(::write(user_side, "junk name\r", 10), 10);
  pollfd typed{terminal, POLLIN, 0};
  ASSERT_EQ(::poll(&typed, 1, 5000), 1);

  temp_folder folder;
  pattern_console console;
  console.in = ::fdopen(::dup(terminal), "r");
  console.out = ::fdopen(::dup(terminal), "w");
  console.folder = folder.path();
  std::optional<std::string> name;
  std::thread prompt([&] { name = ask_pattern_file_name(console); });

  // Type only once the prompt waits, so that the echo shows the mode it reads in.
  std::string seen;
  for (std::string more = "x"; !more.empty() && seen.find(pattern_prompt) == std::string::npos;)
    seen += more = next_output(user_side);
  // Typed in any case, so that the prompt ends even if it never showed.
  EXPECT_EQ(::write(user_side, "groove.sta\r", 11), 11);
  prompt.join();
  EXPECT_NE(seen.find(pattern_prompt), std::string::npos);
  EXPECT_EQ(name, "groove.sta");
  EXPECT_NE(next_output(user_side).find("groove.sta"), std::string::npos);  // echoed
  termios after;
  ASSERT_EQ(::tcgetattr(terminal, &after), 0);
  EXPECT_EQ(after.c_lflag & (ICANON | ECHO), 0u);

  std::fclose(console.in);
  std::fclose(console.out);
  ::close(terminal);
  ::close(user_side);
}

}  // namespace
