// Session files in the real program: `zem FILE.zem` plays exactly what
// zem-render renders from the file; a bad file stops it before the window;
// Ctrl+S and Ctrl+O save and load through the console prompt; the autosave
// survives a kill and comes back with --restore, every panel showing it.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>

#include "window_session.h"

namespace {
using window_test::session;

zem_test::run_result run(const char* path, const std::vector<std::string>& arguments) {
  zem_test::launch how;
  how.arguments = arguments;
  how.capture_errors = true;
  return zem_test::program(path, how).finish();
}

TEST(AppSession, OpensBeforeTheStreamsAndPlaysWhatTheOfflineRenderPlays) {
  const zem_test::temp_folder files;
  const std::string song = files.file("song.zem"), state = "XDG_STATE_HOME=" + files.file("state");
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"rack", "--set", "1:filter_switch=1", "--set", "2:filter_lfo.on=1",
                                 "--set", "4:samples_per_step=3000.5", "--save-session", song,
                                 "--frames", "0", files.file("x.wav")},
        {"rack", "--session", song, "--seconds", "3", files.file("song.wav")}})
    ASSERT_EQ(run(ZEM_RENDER_PATH, arguments).err, "");
  session zem("42", {state}, {song});
  ASSERT_FALSE(zem.window().empty()) << zem.output();
  EXPECT_EQ(zem.dump().at("BUTTON_TOGGLE_FILTER_1").image, "CHK_2_ON");
  const std::string recording = zem.folder().file("session.wav");
  ASSERT_TRUE(window_test::wait_until(
      [&] { return zem_test::read_wav(recording).samples.size() > 400000; }));
  const auto result = zem.quit_with("Escape");
  // Two seconds of the offline render, from a block boundary after silence.
  const auto live = zem_test::read_wav(recording).samples;
  const auto offline = zem_test::read_wav_samples(files.file("song.wav"));
  const auto at = std::search(live.begin(), live.end(), offline.begin(), offline.begin() + 176400);
  EXPECT_TRUE(at != live.end() && (at - live.begin()) % 256 == 0);
  EXPECT_TRUE(std::all_of(live.begin(), at, [](int16_t s) { return s == 0; }));
  EXPECT_NE(result.out.find("Session autosaved to " + files.file("state/zem/autosave.zem") +
                            "\nLate audio blocks: "),
            std::string::npos)
      << result.out;

  std::ofstream(song, std::ios::app) << "x";  // damaged: one line, no window
  const auto refused = run(ZEM_PROGRAM, {song});
  EXPECT_EQ(refused.exit_code, 2);
  EXPECT_EQ(refused.err, "zem: " + song + ": 1 byte after the end section\n");
  EXPECT_EQ(refused.out.find("Init"), std::string::npos);
}

TEST(AppSession, SavesOpensAndAutosavesThroughAKill) {
  std::signal(SIGPIPE, SIG_IGN);
  const zem_test::temp_folder files;
  const std::string state = "XDG_STATE_HOME=" + files.file("state");
  session zem("42", {state}, {});
  ASSERT_FALSE(zem.window().empty()) << zem.output();
  const auto filter = [&](bool click) {
    const auto button = zem.dump().at("BUTTON_TOGGLE_FILTER_1");
    zem.xdotool("mousemove " + std::to_string(button.x) + " " + std::to_string(button.y) +
                (click ? " click 1" : ""));
    return zem.dump().at("BUTTON_TOGGLE_FILTER_1").image;
  };
  const auto command = [&](const char* key, const std::string& name, const std::string& said) {
    const size_t from = zem.output().size();
    zem.key(key);
    if (!name.empty() && zem.wait_for_output("svp : ", from, 20)) zem.type(name + "\n");
    EXPECT_TRUE(zem.wait_for_output(said, from, 20)) << zem.output().substr(from);
  };
  ASSERT_EQ(filter(true), "CHK_2_ON");
  command("ctrl+s", "song.zem", "saved song.zem\n");
  ASSERT_EQ(filter(true), "CHK_2_OFF");
  command("ctrl+o", "song.zem", "loaded song.zem\n");
  std::ofstream(zem.folder().file("bad.zem")) << "ZEMRACK\n1.0";
  command("ctrl+o", "bad.zem", "bad.zem: truncated: the header ends after 11 bytes\n");
  EXPECT_EQ(filter(false), "CHK_2_ON");
  command("ctrl+s", "", "saved song.zem\n");  // the open session, without asking

  // The change is autosaved within the interval; a kill loses nothing older.
  EXPECT_TRUE(window_test::wait_until(
      [&] { return std::filesystem::exists(files.file("state/zem/autosave.zem")); }, 45));
  kill(zem.pid(), SIGKILL);
  EXPECT_EQ(zem.finish().signal, SIGKILL);
  session restored("42", {state}, {"--restore"});
  EXPECT_EQ(restored.dump().at("BUTTON_TOGGLE_FILTER_1").image, "CHK_2_ON");
  EXPECT_EQ(restored.quit_with("Escape").exit_code, 0);
  // The quit's save kept the killed run's autosave beside it.
  EXPECT_TRUE(std::filesystem::exists(files.file("state/zem/autosave-previous.zem")));
}

}  // namespace
