// The real program shows what plays, and keeps answering: the step lights
// follow the sequencers with no input at all, as the recording shows them; a
// pattern whose steps last ten frames leaves the window answering keys; and
// a recording that its file cannot take any more says so, once, on the
// console and in the window, while the R key records the mix to a file of
// its own.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <regex>
#include <set>
#include <thread>

#include "tb303.h"
#include "window_pixels.h"
#include "window_session.h"

namespace {
using window_test::session;
using window_test::wait_until;

constexpr int64_t step_frames = 5513;  // of the default tempo

int64_t recorded_frames(const session& zem, const char* file = "session.wav") {
  const auto wav = zem_test::read_wav(zem.folder().file(file));
  return wav.valid ? static_cast<int64_t>(wav.samples.size() / 2) : 0;
}

// The light that is dark (the playing step's) among the lights of one panel,
// or -1 when not exactly one is clearly darker than the others.
int dark_light(window_pixels& grab, const std::vector<window_test::widget>& lights) {
  std::vector<int> levels;
  for (const auto& light : lights) {
    const std::vector<int> row = grab.red_row(light.x - 2, light.y, 5);
    int sum = 0;
    for (int red : row) sum += red;
    levels.push_back(sum);
  }
  std::vector<int> sorted = levels;
  std::sort(sorted.begin(), sorted.end());
  if (sorted.size() < 2 || sorted[0] * 2 > sorted[1]) return -1;
  return static_cast<int>(std::find(levels.begin(), levels.end(), sorted[0]) - levels.begin());
}

TEST(AppLiveView, StepLightsFollowTheSequencersAsTheRecordingShows) {
  session zem;
  ASSERT_FALSE(zem.window().empty()) << zem.output();
  const auto widgets = zem.dump();
  // The first drum machine (8 steps) and the first bass line (16 steps).
  struct panel {
    int instrument;
    int steps;
    std::vector<window_test::widget> lights;
  };
  std::vector<panel> panels = {{0, 8, {}}, {1, 16, {}}};
  for (panel& p : panels)
    for (int n = 0; n < p.steps; ++n) {
      const std::string key =
          "BUTTON_ACT_NOTE_" + std::to_string(n) + "_" + std::to_string(p.instrument);
      ASSERT_TRUE(widgets.count(key)) << key;
      p.lights.push_back(widgets.at(key));
    }
  // The rack starts in a block at the first sound of the recording.
  int64_t start = -1;
  ASSERT_TRUE(wait_until([&] {
    const auto wav = zem_test::read_wav(zem.folder().file("session.wav"));
    const auto sound =
        std::find_if(wav.samples.begin(), wav.samples.end(), [](int16_t s) { return s != 0; });
    if (sound == wav.samples.end()) return false;
    start = (sound - wav.samples.begin()) / 2 / 128 * 128;
    return true;
  }));

  // Each look pins the picture between two reads of the recording. A look
  // whose span (with a display frame and more before it, as the light may
  // lag) holds one step of the sequencers must show that step's light;
  // a light that lags may show the step before, but only now and then.
  window_pixels grab(zem.window());
  constexpr int64_t lag = 2205;  // 50 ms
  int exact = 0, behind = 0;
  bool step_zero_seen = false;
  std::set<int> steps_seen;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while ((exact < 24 || !step_zero_seen) && std::chrono::steady_clock::now() < deadline) {
    const int64_t before = recorded_frames(zem);
    std::vector<int> dark;
    for (const panel& p : panels) dark.push_back(dark_light(grab, p.lights));
    const int64_t after = recorded_frames(zem);
    const int64_t first_step = (before - lag - start) / step_frames;
    if (before - lag < start || first_step != (after - start) / step_frames) continue;
    for (size_t k = 0; k < panels.size(); ++k) {
      const int step = static_cast<int>(first_step % panels[k].steps);
      if (dark[k] == step) {
        ++exact;
        steps_seen.insert(step);
        step_zero_seen = step_zero_seen || step == 0;
      } else {
        ++behind;
        EXPECT_EQ(dark[k], (step + panels[k].steps - 1) % panels[k].steps)
            << "instrument " << panels[k].instrument << " at step " << step;
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(15));
  }
  EXPECT_TRUE(step_zero_seen) << "the first step's light never lit";
  EXPECT_GE(steps_seen.size(), 4u) << "the lights did not move";
  EXPECT_GE(exact, 24);
  EXPECT_LE(behind * 4, exact) << "the lights lag behind the sequencers";
  EXPECT_EQ(zem.quit_with("Escape").exit_code, 0);
}

// A bass line whose steps last ten frames: thousands of steps and hundreds
// of pass ends a second, and the window still answers at once.
TEST(AppLiveView, AFastPatternLeavesTheWindowAnswering) {
  session zem("42", {}, true);
  ASSERT_FALSE(zem.window().empty()) << zem.output();
  {
    TB303 fast;
    fast.samples_per_step = 10;
    std::FILE* file = std::fopen(zem.folder().file("fast.sta").c_str(), "wb");
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(fast.write_state(file), 1);
    std::fclose(file);
  }
  const auto widgets = zem.dump();
  ASSERT_TRUE(widgets.count("BUTTON_DISK_LOAD_1"));
  const auto& load = widgets.at("BUTTON_DISK_LOAD_1");
  const size_t from = zem.output().size();
  zem.xdotool("mousemove " + std::to_string(load.x) + " " + std::to_string(load.y) + " click 1");
  ASSERT_TRUE(zem.wait_for_output("Entrez le nom du fichier svp : ", from)) << zem.output();
  zem.type("fast.sta\n");
  ASSERT_TRUE(zem.wait_for_output("loaded fast.sta", from)) << zem.output().substr(from);

  // Each answer comes within a few seconds, however busy the audio side is.
  for (int round = 0; round < 3; ++round) {
    const auto asked = std::chrono::steady_clock::now();
    ASSERT_FALSE(zem.dump().empty()) << "F2 was not answered";
    EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(5));
  }
  const auto asked = std::chrono::steady_clock::now();
  const auto result = zem.quit_with("Escape");
  EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(5));
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_TRUE(std::regex_search(result.out, std::regex("\nLate audio blocks: [0-9]+\n$")))
      << result.out.substr(result.out.size() - std::min<size_t>(result.out.size(), 300));
}

int count(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// With a file-size limit, the recording of the "NoSound" driver stops at the
// limit, and so does the R recording; each says so once, and the program
// plays on. While R records, the window shows "REC" and the file's name.
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
  ASSERT_TRUE(
      zem.wait_for_output("Recording stopped: cannot write session.wav: File too large\n", 0, 30))
      << zem.output();
  const auto caption = [&] { return window_test::shell("xdotool getwindowname " + zem.window()); };
  EXPECT_TRUE(wait_until([&] { return caption().find("recording stopped") != std::string::npos; }));

  // The mark's corner at the top right, with and without the mark.
  const auto red_in_corner = [&] {
    const std::string rgb = zem.picture(680, 6, 110, 18);
    int n = 0;
    for (size_t i = 0; i + 2 < rgb.size(); i += 3)
      if (static_cast<unsigned char>(rgb[i]) > 200 && static_cast<unsigned char>(rgb[i + 1]) < 90)
        ++n;
    return n;
  };
  EXPECT_TRUE(wait_until([&] { return red_in_corner() > 20; }, 20))
      << "the window does not show the stopped recording";
  const size_t from = zem.output().size();
  zem.key("r");
  ASSERT_TRUE(zem.wait_for_output("Recording to zem-", from)) << zem.output().substr(from);
  const std::string started = zem.output().substr(from);
  std::smatch name;
  ASSERT_TRUE(std::regex_search(
      started, name, std::regex("Recording to (zem-[0-9]{8}-[0-9]{6}(-[0-9]+)?\\.wav)\n")))
      << started;
  const std::string file = name[1];
  EXPECT_TRUE(wait_until([&] { return caption().find("REC " + file) != std::string::npos; }))
      << caption();
  EXPECT_TRUE(wait_until([&] { return recorded_frames(zem, file.c_str()) > 44100 / 2; }));

  ASSERT_TRUE(zem.wait_for_output("Recording stopped: cannot write " + file + ": File too large\n",
                                  from, 30))
      << zem.output().substr(from);
  const auto result = zem.quit_with("Escape");
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(count(result.out, "Recording stopped"), 2) << result.out.substr(from);
  EXPECT_TRUE(std::regex_search(result.out, std::regex("\nLate audio blocks: [0-9]+\n$")));
  for (const std::string& recording : {std::string("session.wav"), file}) {
    const auto wav = zem_test::read_wav(zem.folder().file(recording));
    EXPECT_TRUE(wav.valid) << recording;
    EXPECT_GT(wav.samples.size(), 44100u) << recording;
    EXPECT_LE(std::filesystem::file_size(zem.folder().file(recording)), limit) << recording;
  }
}
}  // namespace
