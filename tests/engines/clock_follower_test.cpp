// The clock follower on synthetic clocks: steady, jittered (fixed seed), a
// tempo change, pulses that stop, Start, Stop, Continue and song positions.
#include "clock_follower.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <vector>

#include "clock_pulses.h"

namespace {
using zem_test::clock_pulses;
using zem_test::merged;
using zem_test::pulse_period;
using kind = clock_message_kind;

struct step_start {
  int64_t song_step;
  uint64_t frame;
  bool operator==(const step_start&) const = default;
  friend void PrintTo(const step_start& s, std::ostream* out) {
    *out << "step " << s.song_step << " at " << s.frame;
  }
};

struct follow_run {
  std::vector<step_start> steps;  // every step begun, in order
  std::vector<double> shown_bpm;  // per block
  std::vector<bool> playing;      // per block
};

// Plans `blocks` blocks of 128 frames, each from the messages played before it.
follow_run follow(const std::vector<clock_message>& messages, int blocks) {
  follow_run run;
  clock_follower follower;
  clock_message_list source(messages);
  bool was_playing = false;
  for (uint64_t first = 0; first < uint64_t(blocks) * 128; first += 128) {
    clock_message message;
    while (source.take_before(first, message)) follower.take(message);
    const follow_plan plan = follower.plan(first, 128);
    if (plan.playing && (plan.rejoin || !was_playing))
      run.steps.push_back({plan.song_step, plan.step_began});
    if (plan.playing && plan.step_ends <= first + 128)
      run.steps.push_back({plan.song_step + 1, plan.step_ends});
    was_playing = plan.playing;
    run.playing.push_back(plan.playing);
    run.shown_bpm.push_back(follower.shown_bpm());
  }
  return run;
}

constexpr int blocks_per_minute = 60 * 44100 / 128;

TEST(ClockFollower, StepsLockToEverySixthPulseWithoutDriftOrSkips) {
  struct source {
    double bpm, jitter;
    double step_tolerance;  // frames from the line of every sixth ideal pulse, once locked
  };
  for (const source& clock :
       {source{140, 0, 1.5}, {120, 0, 1.5}, {140, 0.1, 44}, {97.3, 0.2, 110}}) {
    SCOPED_TRACE(testing::Message() << clock.bpm << " BPM, jitter " << clock.jitter);
    const double first = 1000.3;
    const int pulses = int(60 * 44100 / pulse_period(clock.bpm));
    const follow_run run =
        follow(merged({{900, kind::start}}, clock_pulses(clock.bpm, first, pulses, clock.jitter)),
               blocks_per_minute);
    // One step for every six pulses, each at its sixth pulse.
    ASSERT_GE(run.steps.size(), size_t(pulses / 6));
    for (size_t n = 0; n < run.steps.size(); ++n) {
      ASSERT_EQ(run.steps[n].song_step, int64_t(n));
      // The first steps come from the first few pulses, jitter and all.
      const double ideal = first + 6.0 * double(n) * pulse_period(clock.bpm);
      const double tolerance =
          n < 8 ? 1.5 + 1.5 * clock.jitter * pulse_period(clock.bpm) : clock.step_tolerance;
      ASSERT_NEAR(double(run.steps[n].frame), ideal, tolerance) << "step " << n;
    }
    // The shown tempo settles within two beats and stays within 0.5%.
    for (size_t block = blocks_per_minute / 60; block < run.shown_bpm.size(); ++block)
      ASSERT_NEAR(run.shown_bpm[block], clock.bpm, clock.bpm * 0.005) << "block " << block;
  }
}

TEST(ClockFollower, ASteadySourceGivesStepsOfExactlySixPulses) {
  const follow_run run = follow(merged({{0, kind::start}}, clock_pulses(140, 64, 2000)), 2000);
  for (size_t n = 2; n < run.steps.size(); ++n)
    EXPECT_EQ(run.steps[n].frame - run.steps[n - 1].frame, 4725u) << "step " << n;
}

TEST(ClockFollower, TransportAndSongPosition) {
  const double period = pulse_period(120);
  const auto at = [&](int pulse) { return uint64_t(std::llround(5000 + pulse * period)); };
  struct scene {
    const char* what;
    std::vector<clock_message> transport;
    std::vector<step_start> expected_rejoins;  // song step, frame where it began
  };
  const scene scenes[] = {
      {"silent until Start", {}, {}},
      {"Start: step 0 on the next pulse", {{at(30) - 1, kind::start}}, {{0, at(30)}}},
      {"Stop at pulse 45, Continue at pulse 80: step 2 goes on three pulses in",
       {{at(30) - 1, kind::start}, {at(45) - 1, kind::stop}, {at(80) - 1, kind::resume}},
       {{0, at(30)}, {2, at(80) - uint64_t(std::llround(3 * period))}}},
      {"Stop, a song position of 9 steps, Continue",
       {{at(30) - 1, kind::start},
        {at(45) - 1, kind::stop},
        {at(50), kind::song_position, 9},
        {at(80) - 1, kind::resume}},
       {{0, at(30)}, {9, at(80)}}},
      {"a song position while running: taken at the next pulse",
       {{at(30) - 1, kind::start}, {at(60) - 1, kind::song_position, 4}},
       {{0, at(30)}, {4, at(60)}}},
  };
  for (const scene& s : scenes) {
    SCOPED_TRACE(s.what);
    const follow_run run = follow(merged(s.transport, clock_pulses(120, 5000, 200)), 1200);
    std::vector<step_start> rejoins;
    for (size_t n = 0; n < run.steps.size(); ++n)
      if (n == 0 || run.steps[n].song_step != run.steps[n - 1].song_step + 1 ||
          run.steps[n].frame <= run.steps[n - 1].frame)
        rejoins.push_back(run.steps[n]);
    EXPECT_EQ(rejoins, s.expected_rejoins);
    // Silent from each Stop until the pulse after Continue.
    for (const clock_message& m : s.transport)
      if (m.kind == kind::stop) {
        EXPECT_FALSE(run.playing[m.frame / 128 + 1]);
      }
  }
}

TEST(ClockFollower, PulsesThatStopLeaveTheStepsAtTheLastTempoAndPulsesThatResumeRelock) {
  // 140 BPM for 300 pulses, nothing for a second, then 140 again, shifted by
  // a third of a pulse.
  std::vector<clock_message> pulses = clock_pulses(140, 0, 300);
  const double resume = double(pulses.back().frame) + 44100 + pulse_period(140) / 3;
  for (const clock_message& p : clock_pulses(140, resume, 600)) pulses.push_back(p);
  const follow_run run = follow(merged({{0, kind::start}}, pulses), 3000);
  double previous_bpm = 0;
  for (size_t n = 1; n < run.steps.size(); ++n) {
    ASSERT_EQ(run.steps[n].song_step, run.steps[n - 1].song_step + 1);
    const uint64_t length = run.steps[n].frame - run.steps[n - 1].frame;
    ASSERT_NEAR(double(length), 4725, 4725 * 0.15) << "step " << n;
  }
  for (double shown : run.shown_bpm) {
    if (previous_bpm > 0) {
      EXPECT_NEAR(shown, 140, 0.7);
    }
    previous_bpm = shown;
  }
  // Locked again: the last step begins on a pulse of the new run (which of
  // them, the grid kept through the pause decides).
  const double pulses_in = (double(run.steps.back().frame) - resume) / pulse_period(140);
  EXPECT_NEAR(pulses_in, std::round(pulses_in), 0.01);
}

TEST(ClockFollower, ANewTempoIsCaughtWithinABeat) {
  std::vector<clock_message> pulses = clock_pulses(140, 0, 240);
  for (const clock_message& p :
       clock_pulses(90, double(pulses.back().frame) + pulse_period(90), 480))
    pulses.push_back(p);
  const follow_run run = follow(merged({{0, kind::start}}, pulses), 4000);
  const size_t caught = (pulses[240].frame + 24 * uint64_t(pulse_period(90))) / 128;
  for (size_t block = caught; block < run.shown_bpm.size(); ++block)
    ASSERT_NEAR(run.shown_bpm[block], 90, 0.45) << "block " << block;
}
}  // namespace
