// The real program shows what plays and keeps answering: step lights, a
// pattern of ten-frame steps, recordings that stop.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <numeric>
#include <regex>
#include <set>

#include "tb303.h"
#include "window_pixels.h"
#include "window_session.h"

namespace {
using window_test::session;
using window_test::wait_until;

// Which of the lights is dark (the playing step's), or -1 unless one is
// clearly darker than all the others.
int dark_light(const std::string& window, const std::vector<window_test::widget>& lights) {
  std::vector<int> levels;
  for (const auto& light : lights) {
    const std::vector<int> row = window_red_row(window, light.x - 2, light.y, 5);
    levels.push_back(std::accumulate(row.begin(), row.end(), 0));
  }
  const auto darkest = std::min_element(levels.begin(), levels.end());
  const auto near =
      std::count_if(levels.begin(), levels.end(), [&](int l) { return l < 2 * *darkest; });
  return near == 1 ? static_cast<int>(darkest - levels.begin()) : -1;
}

TEST(AppLiveView, StepLightsFollowTheSequencersAsTheRecordingShows) {
  session zem;
  ASSERT_FALSE(zem.window().empty()) << zem.output();
  const auto widgets = zem.dump();
  std::vector<window_test::widget> lights;  // the first bass line's, steps 0 to 15
  for (int n = 0; n < 16; ++n)
    lights.push_back(widgets.at("BUTTON_ACT_NOTE_" + std::to_string(n) + "_1"));
  // The rack starts in the block of the recording's first sound.
  int64_t start = -1;
  ASSERT_TRUE(wait_until([&] {
    const auto samples = zem_test::read_wav(zem.folder().file("session.wav")).samples;
    const auto sound = std::find_if(samples.begin(), samples.end(), [](int16_t s) { return s; });
    start = (sound - samples.begin()) / 2 / 128 * 128;
    return sound != samples.end();
  }));
  // A look pins the picture between two reads of the recording. When that
  // span, and 50 ms before it for the light to follow, holds one step, the
  // step's light must be dark; a light that lags may show the step before,
  // but only now and then.
  constexpr int64_t step_frames = 5513, lag = 2205;
  int exact = 0, behind = 0;
  std::set<int64_t> steps_seen;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while ((exact < 24 || !steps_seen.count(0)) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(15));
    const int64_t before = recorded_frames(zem);
    const int dark = dark_light(zem.window(), lights);
    const int64_t step = (before - lag - start) / step_frames % 16;
    if (before - lag < start || step != (recorded_frames(zem) - start) / step_frames % 16) continue;
    if (dark == step) {
      ++exact;
      steps_seen.insert(step);
    } else {
      ++behind;
      EXPECT_EQ(dark, (step + 15) % 16) << "at step " << step;
    }
  }
  EXPECT_TRUE(steps_seen.count(0)) << "the first step's light never lit";
  EXPECT_GE(steps_seen.size(), 4u) << "the lights did not move";
  EXPECT_LE(behind * 4, exact) << "the lights lag behind the sequencers";
  EXPECT_EQ(zem.quit_with("Escape").exit_code, 0);
}

// Loaded on a bass line, a pattern whose steps last ten frames makes
// thousands of steps a second; the window still answers at once.
TEST(AppLiveView, AFastPatternLeavesTheWindowAnswering) {
  session zem("42", {});
  ASSERT_FALSE(zem.window().empty()) << zem.output();
  TB303 fast;
  fast.samples_per_step = 10;
  std::FILE* file = std::fopen(zem.folder().file("fast.sta").c_str(), "wb");
  ASSERT_EQ(fast.write_state(file), 1);
  std::fclose(file);
  const auto load = zem.dump().at("BUTTON_DISK_LOAD_1");
  const size_t from = zem.output().size();
  zem.xdotool("mousemove " + std::to_string(load.x) + " " + std::to_string(load.y) + " click 1");
  ASSERT_TRUE(zem.wait_for_output("Entrez le nom du fichier svp : ", from)) << zem.output();
  zem.type("fast.sta\n");
  ASSERT_TRUE(zem.wait_for_output("loaded fast.sta", from)) << zem.output().substr(from);
  const auto asked = std::chrono::steady_clock::now();
  ASSERT_FALSE(zem.dump().empty()) << "F2 was not answered";
  EXPECT_EQ(zem.quit_with("Escape").exit_code, 0);
  EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(10));
}

// With a file-size limit the "NoSound" recording stops at the limit, and so
// does the R recording; each says so once and the program plays on. While R
// records, the caption names the file; the window shows the mark.
TEST(AppLiveView, RecordingsThatStopSaySoOnceAndTheWindowShowsRecording) {
  constexpr rlim_t limit = 400 * 1024;  // 2.3 s of sound
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  rlimit limited = saved;
  limited.rlim_cur = limit;
  setrlimit(RLIMIT_FSIZE, &limited);
  session zem;
  setrlimit(RLIMIT_FSIZE, &saved);
  ASSERT_FALSE(zem.window().empty()) << zem.output();
  const auto stopped = [&](const std::string& file, size_t from) {
    return zem.wait_for_output("Recording stopped: cannot write " + file + ": File too large\n",
                               from, 30);
  };
  const auto caption = [&] { return window_test::shell("xdotool getwindowname " + zem.window()); };
  const auto mark_shown = [&] {  // red text across the empty top right corner
    const std::vector<int> row = window_red_row(zem.window(), 660, 16, 130);
    return std::count_if(row.begin(), row.end(), [](int red) { return red > 200; }) > 4;
  };
  ASSERT_TRUE(stopped("session.wav", 0)) << zem.output();
  EXPECT_TRUE(wait_until(mark_shown, 20));

  const size_t from = zem.output().size();
  zem.key("r");
  ASSERT_TRUE(zem.wait_for_output("Recording to zem-", from)) << zem.output().substr(from);
  const std::string started = zem.output().substr(from);
  std::smatch name;
  ASSERT_TRUE(std::regex_search(started, name, std::regex("to (zem-[0-9]{8}-[0-9]{6}\\.wav)\n")));
  const std::string file = name[1];
  EXPECT_TRUE(wait_until([&] { return caption().find("REC " + file) != std::string::npos; }));
  ASSERT_TRUE(stopped(file, from)) << zem.output().substr(from);
  EXPECT_TRUE(wait_until([&] { return caption().find("recording stopped") != std::string::npos; }));
  const auto result = zem.quit_with("Escape");
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_TRUE(std::regex_search(result.out, std::regex("\nLate audio blocks: [0-9]+\n$")));
  size_t stops = 0;
  for (size_t at = 0; (at = result.out.find("Recording stopped", at)) != std::string::npos; ++at)
    ++stops;
  EXPECT_EQ(stops, 2u) << "each stop is said once";
  for (const std::string& recording : {std::string("session.wav"), file}) {
    EXPECT_GT(zem_test::read_wav(zem.folder().file(recording)).samples.size(), 2u * 44100)
        << recording;
    EXPECT_LE(std::filesystem::file_size(zem.folder().file(recording)), limit) << recording;
  }
}
}  // namespace
