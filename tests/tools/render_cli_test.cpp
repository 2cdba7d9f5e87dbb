// zem-render run as a program: exit statuses, messages, the files it leaves,
// and frames that equal, bit for bit, the engines' own `render`.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "child_process.h"
#include "osc.h"
#include "tb303.h"
#include "tb808.h"
#include "temp_folder.h"
#include "wav_reading.h"

using zem_test::read_file;
using zem_test::read_wav_samples;
using zem_test::temp_folder;

namespace {

using zem_test::run_result;

// zem-render with these arguments, its standard error captured apart.
zem_test::launch render_launch(const std::vector<std::string>& args) {
  zem_test::launch how;
  how.arguments = args;
  how.capture_errors = true;
  how.timeout_seconds = 600;
  return how;
}

run_result run_render(const std::vector<std::string>& args) {
  return zem_test::program(ZEM_RENDER_PATH, render_launch(args)).finish();
}

// Renders `frames` frames with the engine's own render, in one call.
std::vector<int16_t> direct_render(INSTRUMENT& engine, int frames) {
  std::vector<int16_t> samples(2 * size_t(frames));
  engine.render(nullptr, samples.data(), frames * 4, nullptr);
  return samples;
}

bool all_silent(const std::vector<int16_t>& samples) {
  return std::all_of(samples.begin(), samples.end(), [](int16_t s) { return s == 0; });
}

size_t frames_in(const std::string& path) {
  return read_wav_samples(path).size() / 2;
}

}  // namespace

TEST(RenderCli, BadArgumentsExitWith2OneLineAndNoFile) {
  const std::vector<std::vector<std::string>> cases = {
      {"tb909", "OUT"},
      {"tb303"},
      {"tb303", "--frames", "x", "OUT"},
      {"tb303", "--set", "nonsense=1", "OUT"},
      {"tb303", "--set", "wave_kind=1.5", "OUT"},
      {"tb303", "--set", "volume=abc", "OUT"},
      {"tb303", "--set", "volume=nan", "OUT"},
      {"tb303", "--set", "pattern_memory[255][0]=1", "OUT"},
      {"tb808", "--set", "pattern_memory[0]=1", "OUT"},
      {"tb808", "--set", "wave_kind=1", "OUT"},
      {"osc", "--set", "step_frequencies[-1]=1", "OUT"},
      {"rack", "--set", "5:volume=1", "OUT"},
      {"rack", "--set", "volume=1", "OUT"},
      {"tb303", "--load", "MISSING/song.sta", "OUT"},
      {"tb303", "--load", "FOLDER", "OUT"},
      {"rack", "--load", "MISSING/song.sta", "OUT"},
      {"tb808", "--set", "step_count=300", "--save", "SAVED", "OUT"},
      {"tb303", "--set", "current_step=1000", "OUT"},  // what a save would refuse
      {"osc", "--save", "MISSING/s.sta", "OUT"},
      {"tb303", "--frames", "9999999999", "OUT"},
      {"tb303", "--set", "samples_per_step=1e30", "OUT"},
      {"tb303", "MISSING/out.wav"},
      {"tb303", "FOLDER"},
      {"rack", "--save-session", "MISSING/s.zem", "OUT"},
      {"rack", "--save-session", "OUT", "OUT"},
  };
  for (std::vector<std::string> args : cases) {
    temp_folder folder;
    std::filesystem::create_directory(folder.file("FOLDER"));
    for (std::string& arg : args) {
      if (arg == "OUT" || arg == "FOLDER" || arg == "SAVED") arg = folder.file(arg);
      if (arg.starts_with("MISSING")) arg = folder.file(arg);
    }
    const run_result result = run_render(args);
    const std::string command = args[0] + " " + (args.size() > 1 ? args[1] : "");
    EXPECT_EQ(result.status(), 2) << command;
    EXPECT_TRUE(result.err.starts_with("zem-render: ")) << result.err;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    EXPECT_TRUE(result.err.ends_with("\n")) << result.err;
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"FOLDER"}) << command;
    EXPECT_TRUE(std::filesystem::is_empty(folder.path() / "FOLDER")) << command;
  }
}

// A state saved by script renders, once loaded, exactly as the options that
// made it; --save comes after the --set options and may render nothing.
TEST(RenderCli, SavedPatternFileLoadsBackToTheSameSound) {
  temp_folder folder;
  const std::vector<std::string> settings = {
      "--set", "pattern_memory[0][2]=1", "--set", "pattern_memory[0][5]=1",
      "--set", "filter_switch=1",        "--set", "pitch_depth=700"};
  std::vector<std::string> save = {"tb808"};
  save.insert(save.end(), settings.begin(), settings.end());
  save.insert(save.end(),
              {"--save", folder.file("beat.sta"), "--frames", "0", folder.file("empty.wav")});
  ASSERT_EQ(run_render(save).status(), 0);
  EXPECT_EQ(read_file(folder.file("beat.sta")).size(), 260348u);
  EXPECT_EQ(frames_in(folder.file("empty.wav")), 0u);

  std::vector<std::string> direct = {"tb808", "--passes", "2", folder.file("direct.wav")};
  direct.insert(direct.begin() + 1, settings.begin(), settings.end());
  ASSERT_EQ(run_render(direct).status(), 0);
  const run_result loaded = run_render(
      {"tb808", "--load", folder.file("beat.sta"), "--passes", "2", folder.file("loaded.wav")});
  ASSERT_EQ(loaded.status(), 0) << loaded.err;
  const std::vector<int16_t> sound = read_wav_samples(folder.file("loaded.wav"));
  EXPECT_FALSE(all_silent(sound));
  EXPECT_EQ(sound, read_wav_samples(folder.file("direct.wav")));
}

// A session saved by script renders, opened again, exactly as the options
// that made it, LFO settings included, which a pattern file leaves out.
TEST(RenderCli, SavedSessionRendersBackBitForBitAndBadOnesAreRefused) {
  temp_folder folder;
  const auto render = [&](std::vector<std::string> args, const std::string& out) {
    args.insert(args.begin(), "rack");
    args.insert(args.end(), {"--seconds", "2", folder.file(out)});
    const run_result result = run_render(args);
    EXPECT_EQ(result.status(), 0) << result.err;
    return read_wav_samples(folder.file(out));
  };
  const std::string saved = folder.file("lfo.zem");
  const auto direct = render({"--set", "1:envelope_lfo.on=1", "--set",
                              "1:envelope_lfo.amplitude=0.8", "--save-session", saved},
                             "direct.wav");
  EXPECT_EQ(render({"--session", saved}, "opened.wav"), direct);
  EXPECT_NE(render({}, "plain.wav"), direct);

  const struct {
    std::string content;  // "FIFO": a FIFO
    std::string reason;
  } cases[] = {
      {read_file(saved).substr(0, 1000), "truncated: the section at byte 16"},
      {"FIFO", "not a regular file"},  // never waited on
  };
  const std::string bad = folder.file("bad.zem"), out = folder.file("out.wav");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    std::filesystem::remove(bad);
    if (c.content != "FIFO") std::ofstream(bad) << c.content;
    if (c.content == "FIFO" && mkfifo(bad.c_str(), 0600) != 0) FAIL() << "no FIFO";
    const run_result result = run_render({"rack", "--session", bad, out});
    EXPECT_EQ(result.status(), 2);
    EXPECT_TRUE(result.err.find(bad) != result.err.npos &&
                result.err.find(c.reason) != result.err.npos)
        << result.err;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    EXPECT_FALSE(std::filesystem::exists(out));
  }
}

TEST(RenderCli, PatternFileOfAnotherEngineIsRefused) {
  temp_folder folder;
  ASSERT_EQ(run_render({"osc", "--save", folder.file("synth.sta"), "--frames", "0",
                        folder.file("out.wav")})
                .status(),
            0);
  const run_result result =
      run_render({"tb808", "--load", folder.file("synth.sta"), folder.file("drums.wav")});
  EXPECT_EQ(result.status(), 2);
  EXPECT_EQ(result.err,
            "zem-render: " + folder.file("synth.sta") + ": not a TB808 pattern file: 1296 bytes\n");
  EXPECT_FALSE(std::filesystem::exists(folder.file("drums.wav")));
}

TEST(RenderCli, FailedRunLeavesAnExistingFileAlone) {
  temp_folder folder;
  const std::string out = folder.file("out.wav");
  ASSERT_EQ(run_render({"tb808", "--frames", "10", out}).status(), 0);
  const std::string before = read_file(out);
  EXPECT_EQ(run_render({"tb808", "--set", "bogus=1", out}).status(), 2);
  EXPECT_EQ(read_file(out), before);
  EXPECT_EQ(folder.entries(), std::vector<std::string>{"out.wav"});
}

// Refused with one line, every file left as it was: an output that is an input
// or another output, whatever names lead to it; a render past the size limit.
TEST(RenderCli, RefusedOutputsLeaveEveryFileAsItWas) {
  for (const std::string files :
       {"--load a.sta --save a.sta o.wav", "--load a.sta link.sta",
        "--load link.sta --save hard.sta o.wav", "--save new.sta ./new.sta", "--seconds 5 o.wav"}) {
    temp_folder folder;
    std::ofstream(folder.file("a.sta")) << "patterns";
    std::filesystem::create_symlink("a.sta", folder.file("link.sta"));
    std::filesystem::create_hard_link(folder.file("a.sta"), folder.file("hard.sta"));
    zem_test::launch how =
        render_launch({"-c", "ulimit -f 100; exec " ZEM_RENDER_PATH " tb303 " + files});
    how.folder = folder.path().string();
    const run_result result = zem_test::program("/bin/sh", how).finish();
    EXPECT_EQ(result.status(), 2) << files;
    const std::regex said(
        "zem-render: (.* are the same file|cannot write o.wav: File too large)\n");
    EXPECT_TRUE(std::regex_match(result.err, said)) << result.err;
    EXPECT_EQ(read_file(folder.file("a.sta")) + std::to_string(folder.entries().size()),
              "patterns3");
  }
}

TEST(RenderCli, HelpPrintsTheUsage) {
  const run_result result = run_render({"--help"});
  EXPECT_EQ(result.status(), 0);
  EXPECT_TRUE(result.out.starts_with("usage: zem-render ENGINE")) << result.out;
}

TEST(RenderCli, LengthOptions) {
  temp_folder folder;
  const std::string out = folder.file("out.wav");
  struct length_case {
    std::vector<std::string> args;
    size_t frames;
  };
  const std::vector<length_case> cases = {
      {{"tb303"}, 16 * 5513},  // one pass: floor(5512.5) + 1 frames a step
      {{"tb808"}, 8 * 5513},
      {{"osc", "--passes", "2"}, 2 * 8 * 5513},
      {{"rack"}, 16 * 5513},  // the longest pass of the five
      {{"tb303", "--set", "step_count=4"}, 4 * 5513},
      {{"tb808", "--set", "samples_per_step=99.5", "--passes", "3"}, 3 * 8 * 100},
      {{"tb808", "--seconds", "0.5"}, 22050},
      {{"tb808", "--frames", "4097"}, 4097},
      {{"tb808", "--frames", "0"}, 0},
  };
  for (length_case c : cases) {
    c.args.push_back(out);
    ASSERT_EQ(run_render(c.args).status(), 0) << c.args[0];
    EXPECT_EQ(frames_in(out), c.frames) << c.args[0] << " " << c.args[1];
  }
}

// The frames in the file are exactly those of the engine's render with the
// same settings, whatever blocks the renderer cut them into.
TEST(RenderCli, FramesEqualADirectRenderBitForBit) {
  temp_folder folder;
  const std::string out = folder.file("out.wav");
  constexpr int frames = 30001;  // not a whole number of blocks
  const std::string length = std::to_string(frames);

  ASSERT_EQ(run_render({"tb303", "--frames", length, "--set", "wave_kind=3", "--set",
                        "filter_switch=1", "--set", "distortion_switch=1", "--set",
                        "noise_switch=1", "--set", "pattern_memory[0][1]=440", out})
                .status(),
            0);
  std::srand(1);  // the patterns come from rand(), unseeded in the program
  TB303 bass;
  bass.wave_kind = 3;
  bass.filter_switch = 1;
  bass.distortion_switch = 1;
  bass.noise_switch = 1;
  bass.pattern_memory[0][1] = 440.0f;
  const std::vector<int16_t> expected_bass = direct_render(bass, frames);
  EXPECT_FALSE(all_silent(expected_bass));
  EXPECT_EQ(read_wav_samples(out), expected_bass);

  ASSERT_EQ(run_render({"tb808", "--frames", length, "--set", "pattern_memory[0][0]=1", "--set",
                        "pattern_memory[0][3]=1", "--set", "filter_switch=1", "--set",
                        "filter_lfo.on=1", "--set", "pitch_depth=900", out})
                .status(),
            0);
  TB808 drum;
  drum.pattern_memory[0][0] = 1;
  drum.pattern_memory[0][3] = 1;
  drum.filter_switch = 1;
  drum.filter_lfo->on = 1;
  drum.pitch_depth = 900;
  const std::vector<int16_t> expected_drum = direct_render(drum, frames);
  EXPECT_FALSE(all_silent(expected_drum));
  EXPECT_EQ(read_wav_samples(out), expected_drum);

  ASSERT_EQ(run_render({"osc", "--frames", length, "--set", "osc3_on=1", "--set", "osc2_factor=3.5",
                        "--set", "envelope_lfo.on=1", "--set", "step_frequencies[2]=440", "--set",
                        "volume=0.8", out})
                .status(),
            0);
  OSC oscillators;
  oscillators.osc3_on = 1;
  oscillators.osc2_factor = 3.5f;
  oscillators.envelope_lfo->on = 1;
  oscillators.step_frequencies[2] = 440.0f;
  oscillators.volume = 0.8f;
  const std::vector<int16_t> expected_osc = direct_render(oscillators, frames);
  EXPECT_FALSE(all_silent(expected_osc));
  EXPECT_EQ(read_wav_samples(out), expected_osc);
}

TEST(RenderCli, SetReachesTheField) {
  temp_folder folder;
  const std::string out = folder.file("out.wav");
  ASSERT_EQ(run_render({"tb303", "--frames", "6000", out}).status(), 0);
  const std::vector<int16_t> sine = read_wav_samples(out);
  // A pipe gets the same file, in order, its header first.
  EXPECT_EQ(run_render({"tb303", "--frames", "6000", "/dev/stdout"}).out, read_file(out));
  EXPECT_FALSE(all_silent(sine));
  ASSERT_EQ(run_render({"tb303", "--frames", "6000", "--set", "volume=0", out}).status(), 0);
  EXPECT_TRUE(all_silent(read_wav_samples(out)));
  ASSERT_EQ(run_render({"tb303", "--frames", "6000", "--set", "wave_kind=2", out}).status(), 0);
  EXPECT_NE(read_wav_samples(out), sine);

  const run_result state =
      run_render({"tb303", "--frames", "1", "--set", "filter_switch=1", "--set",
                  "filter_level=1200", "--set", "wave_divisor=2.5", "--print-state", out});
  ASSERT_EQ(state.status(), 0);
  EXPECT_NE(state.out.find("FILTER[[*] LVL [ 1200]"), std::string::npos) << state.out;
  EXPECT_NE(state.out.find("FX1 [2.500]"), std::string::npos) << state.out;
}

TEST(RenderCli, RackPrintsItsInstrumentsInStartUpOrder) {
  temp_folder folder;
  const run_result result = run_render(
      {"rack", "--frames", "1", "--set", "2:volume=0.25", "--print-state", folder.file("out.wav")});
  ASSERT_EQ(result.status(), 0);
  size_t at = 0;
  for (const char* head : {"TB808-0 ", "TB303-1 ", "OSC-2 ", "TB303-3 ", "TB808-4 "}) {
    const size_t found = result.out.find(head, at);
    ASSERT_NE(found, std::string::npos) << head << " in order in\n" << result.out;
    at = found;
    if (std::string_view(head) == "OSC-2 ") {
      EXPECT_NE(result.out.find("VOLUME[0.25]", at), std::string::npos);
    }
  }
}

// The rack's file is the sum of the five instruments, each rendered on its
// own, saturated to 16 bits.
TEST(RenderCli, RackIsTheSaturatedSumOfTheFive) {
  temp_folder folder;
  const std::string out = folder.file("out.wav");
  constexpr int frames = 12000;
  ASSERT_EQ(
      run_render({"rack", "--frames", std::to_string(frames), "--set", "0:pattern_memory[0][0]=1",
                  "--set", "4:pattern_memory[0][1]=1", "--set", "1:volume=1", "--set", "3:volume=1",
                  "--set", "3:wave_kind=3", "--set", "2:volume=1", out})
          .status(),
      0);
  std::srand(1);
  TB808 first_drum;
  TB303 first_bass;
  OSC oscillators;
  TB303 second_bass;
  TB808 second_drum;
  first_drum.pattern_memory[0][0] = 1;
  second_drum.pattern_memory[0][1] = 1;
  first_bass.volume = 1.0f;
  second_bass.volume = 1.0f;
  second_bass.wave_kind = 3;
  oscillators.volume = 1.0f;
  const std::vector<std::vector<int16_t>> parts = {
      direct_render(first_drum, frames), direct_render(first_bass, frames),
      direct_render(oscillators, frames), direct_render(second_bass, frames),
      direct_render(second_drum, frames)};
  std::vector<int16_t> expected(2 * frames);
  int saturated = 0;
  for (size_t i = 0; i < expected.size(); ++i) {
    int sum = 0;
    for (const auto& part : parts) sum += part[i];
    saturated += sum > 32767 || sum < -32768;
    expected[i] = int16_t(std::clamp(sum, -32768, 32767));
  }
  EXPECT_GT(saturated, 0) << "the settings must drive the sum past 16 bits";
  EXPECT_EQ(read_wav_samples(out), expected);
}

TEST(RenderCli, InterruptedRenderLeavesNothing) {
  temp_folder folder;
  zem_test::program render(ZEM_RENDER_PATH,
                           render_launch({"rack", "--seconds", "3000", folder.file("long.wav")}));
  // Wait for the temporary file, so that the render is under way.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (folder.entries().empty() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ASSERT_FALSE(folder.entries().empty());
  render.signal(SIGTERM);
  const run_result result = render.finish();
  EXPECT_EQ(result.status(), 128 + SIGTERM);
  EXPECT_TRUE(folder.entries().empty());
}
