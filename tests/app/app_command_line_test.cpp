// The program's command line: every option it takes, and one line for what it refuses.
#include <gtest/gtest.h>

#include <vector>

#include "command_line.h"

namespace {
struct command_case {
  std::vector<const char*> args;
  const char* error;  // a part of the refusal; nullptr when accepted
  program_options expected;
};

TEST(CommandLine, TakesItsOptionsAndRefusesTheRest) {
  const command_case cases[] = {
      {{}, nullptr, {}},
      {{"song.zem"}, nullptr, {"song.zem", false, "auto", "internal"}},
      {{"--restore", "--midi", "jack", "--sync=midi"}, nullptr, {"", true, "jack", "midi"}},
      {{"--midi=none", "a.zem", "--sync", "jack"}, nullptr, {"a.zem", false, "none", "jack"}},
      {{"--midi", "oss"}, "--midi takes auto|jack|alsa|none, not oss", {}},
      {{"--sync"}, "--sync takes internal|midi|jack", {}},
      {{"a.zem", "b.zem"}, "unknown argument: b.zem", {}},
      {{"--restore=1"}, "unknown argument: --restore=1", {}},
      {{"-x"}, "unknown argument: -x", {}},
  };
  for (const command_case& c : cases) {
    std::vector<const char*> argv{"zem"};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    program_options options;
    std::string error;
    const bool ok =
        parse_program_options(static_cast<int>(argv.size()), argv.data(), options, error);
    SCOPED_TRACE(argv.size() > 1 ? argv[1] : "(none)");
    if (c.error != nullptr) {
      EXPECT_FALSE(ok);
      EXPECT_EQ(error, c.error);
      continue;
    }
    ASSERT_TRUE(ok) << error;
    EXPECT_EQ(options.session_file, c.expected.session_file);
    EXPECT_EQ(options.restore, c.expected.restore);
    EXPECT_EQ(options.midi, c.expected.midi);
    EXPECT_EQ(options.sync, c.expected.sync);
  }
}
}  // namespace
