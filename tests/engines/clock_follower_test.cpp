// The clock follower on synthetic clocks: steady, jittered (fixed seed), a
// pause, a new tempo, Start, Stop, Continue and song positions.
#include "clock_follower.h"

#include <gtest/gtest.h>

#include "test_clocks.h"

namespace {
using zem_test::clock_pulses;
using zem_test::pulse_period;
using kind = clock_message_kind;

struct follow_run {
  std::vector<std::pair<int64_t, uint64_t>> steps;  // every step begun: song step, frame
  std::vector<double> shown_bpm;                    // per block
};

// Plans blocks of 128 frames, each from the messages played before it.
follow_run follow(const std::vector<clock_message>& messages, double seconds) {
  follow_run run;
  clock_follower follower;
  clock_message_list source(messages);
  for (uint64_t first = 0, was_playing = 0; first < seconds * 44100; first += 128) {
    for (clock_message m; source.take_before(first, m);) follower.take(m);
    const follow_plan p = follower.plan(first, 128);
    if (p.playing && (p.rejoin || !was_playing)) run.steps.emplace_back(p.song_step, p.step_began);
    if (p.playing && p.step_ends <= first + 128)
      run.steps.emplace_back(p.song_step + 1, p.step_ends);
    was_playing = p.playing;
    run.shown_bpm.push_back(follower.shown_bpm());
  }
  return run;
}

TEST(ClockFollower, StepsOnEverySixthPulseWithoutDriftOrSkipsAndTheTempoShownWithinHalfAPercent) {
  struct source {
    double bpm, jitter, tolerance;  // frames from every sixth ideal pulse, from step 8 on
  };
  for (const source& c : {source{140, 0, 1.5}, {120, 0, 1.5}, {140, 0.1, 44}, {97.3, 0.2, 110}}) {
    SCOPED_TRACE(testing::Message() << c.bpm << " BPM, jitter " << c.jitter);
    const double first = 1000.3, period = pulse_period(c.bpm);
    const int pulses = int(60 * 44100 / period);
    const follow_run run =
        follow(clock_pulses(c.bpm, first, pulses, c.jitter, {{900, kind::start}}), 60);
    ASSERT_GE(run.steps.size(), size_t(pulses / 6));
    for (size_t n = 0; n < run.steps.size(); ++n) {
      ASSERT_EQ(run.steps[n].first, int64_t(n));
      // The first steps come from the first pulses, jitter and all.
      const double tolerance = n < 8 ? 1.5 + 1.5 * c.jitter * period : c.tolerance;
      ASSERT_NEAR(double(run.steps[n].second), first + 6.0 * n * period, tolerance) << "step " << n;
      const bool exact = c.bpm == 140 && c.jitter == 0 && n > 1;
      ASSERT_TRUE(!exact || run.steps[n].second - run.steps[n - 1].second == 4725) << "step " << n;
    }
    for (size_t block = 44100 / 128; block < run.shown_bpm.size(); ++block)
      ASSERT_NEAR(run.shown_bpm[block], c.bpm, c.bpm * 0.005) << "block " << block;
  }
  // A clock whose intervals jitter by 10% wanders off any line, and once
  // falls half a pulse behind (a cycle it missed): the steps still come near
  // its sixth pulses, and from the eighth bar the tempo shown holds within
  // half a percent.
  std::vector<clock_message> wander = zem_test::wandering_pulses(140, 1000, 56 * 60, 0.1);
  for (size_t n = 700; n < wander.size(); ++n) wander[n].frame += 430;
  const follow_run run = follow(wander, 60);
  for (size_t n = 8; 1 + 6 * n < wander.size() && n < run.steps.size(); ++n)
    ASSERT_NEAR(double(run.steps[n].second), double(wander[1 + 6 * n].frame), 300) << n;
  for (size_t block = 8 * 16 * 4725 / 128; block < run.shown_bpm.size(); ++block)
    ASSERT_NEAR(run.shown_bpm[block], 140, 0.7) << "block " << block;
}

TEST(ClockFollower, StartStopContinueAndSongPositions) {
  const auto at = [](int pulse) { return uint64_t(std::llround(5000 + pulse * 918.75)); };
  struct scene {
    std::vector<clock_message> transport;
    std::vector<int64_t> steps;  // the first song steps begun; the first on pulse 30
  };
  const clock_message start{at(30) - 1, kind::start}, stop{at(45) - 1, kind::stop};
  for (const scene& s : std::vector<scene>{
           {{}, {}},  // silent until Start
           {{start}, {0, 1, 2, 3, 4, 5}},
           // Stopped in step 2, taken up where it stopped, 3 pulses into it.
           {{start, stop, {at(80) - 1, kind::resume}}, {0, 1, 2, 2, 3, 4}},
           {{start, stop, {at(50), kind::song_position, 9}, {at(80) - 1, kind::resume}},
            {0, 1, 2, 9, 10, 11}},
           {{start, {at(40), kind::song_position, 4}}, {0, 1, 4, 5, 6, 7}}}) {
    const follow_run run = follow(clock_pulses(120, 5000, 140, 0, s.transport), 3);
    std::vector<int64_t> steps;
    for (size_t n = 0; n < std::min<size_t>(6, run.steps.size()); ++n)
      steps.push_back(run.steps[n].first);
    ASSERT_EQ(steps, s.steps);
    EXPECT_EQ(run.steps.empty() ? at(30) : run.steps[0].second, at(30));
  }
}

TEST(ClockFollower, PausedPulsesHoldTheTempoAndANewTempoIsCaughtWithinABeat) {
  // 140 BPM; a second of nothing; 140 again a third of a pulse off the old grid; then 90.
  std::vector<clock_message> pulses = clock_pulses(140, 0, 300, 0, {{0, kind::start}});
  const double resumed = double(pulses.back().frame) + 44100 + pulse_period(140) / 3;
  for (const clock_message& p : clock_pulses(140, resumed, 300)) pulses.push_back(p);
  const double slower = double(pulses.back().frame) + pulse_period(90);
  for (const clock_message& p : clock_pulses(90, slower, 300)) pulses.push_back(p);
  const follow_run run = follow(pulses, 28);
  for (size_t n = 1; n < run.steps.size(); ++n) {
    const auto [step, frame] = run.steps[n];
    const double length = double(frame - run.steps[n - 1].second),
                 pulses_in = (frame - resumed) / pulse_period(140);
    ASSERT_EQ(step, run.steps[n - 1].first + 1);
    ASSERT_NEAR(length, frame < slower ? 4725 : 7350, 4725 * 0.15) << step;
    // Locked again to the new run's pulses, on the grid kept through the pause.
    const bool relocked = frame > resumed + 44100 && frame < slower;
    ASSERT_NEAR(pulses_in, relocked ? std::round(pulses_in) : pulses_in, 0.01);
  }
  for (size_t block = 16; block < run.shown_bpm.size(); ++block) {
    const double frame = block * 128.0, expected = frame < slower ? 140 : 90;
    const bool settled = frame < slower || frame > slower + 24 * pulse_period(90);
    ASSERT_NEAR(settled ? run.shown_bpm[block] : expected, expected, expected * 0.005) << block;
  }
}
}  // namespace
