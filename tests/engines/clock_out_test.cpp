// The clock that the rack sends, from its timing block by block: six pulses
// a step with the first on the step's first frame, none missing or extra over
// a minute, whatever the step lengths; Start, Stop and Continue.
#include "clock_out.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {
struct recorded_clock : clock_out_sink {
  std::vector<clock_out_event> events;
  void send(const clock_out_event& event) override { events.push_back(event); }
  std::vector<uint64_t> pulses() const {
    std::vector<uint64_t> frames;
    for (const clock_out_event& e : events)
      if (e.byte == midi_clock_byte) frames.push_back(e.frame);
    return frames;
  }
};

// Plays steps that begin at `starts` (the last one only ends the run),
// block by block, the length of the playing step revised by up to `wobble`
// frames at every block as a followed clock revises it; from `first_frame`,
// with `transport` at that block.
recorded_clock play(const std::vector<uint64_t>& starts, int wobble = 0,
                    rack_block_timing::change transport = rack_block_timing::change::start,
                    uint64_t first_frame = 0) {
  recorded_clock out;
  clock_out_schedule schedule;
  std::mt19937 random(3);
  std::uniform_int_distribution<int> revision(-wobble, wobble);
  size_t step = 0;
  for (uint64_t first = first_frame; first + 128 <= starts.back(); first += 128) {
    while (starts[step + 1] <= first) ++step;
    rack_block_timing timing;
    timing.first_frame = first;
    timing.frames = 128;
    timing.transport = first == first_frame ? transport : rack_block_timing::change::none;
    timing.playing = true;
    timing.step_began = starts[step];
    const uint64_t ends = starts[step + 1];
    // Revised, as long as the step does not end in this block.
    const int64_t revised = ends <= first + 128
                                ? int64_t(ends)
                                : std::max<int64_t>(ends + revision(random), first + 129);
    timing.step_frames = revised - int64_t(starts[step]);
    schedule.plan(timing, out);
  }
  return out;
}

TEST(ClockOut, SixPulsesAStepTheFirstOnItsFirstFrameNoneMissingOverAMinute) {
  struct run {
    const char* what;
    int wobble;
    std::vector<uint64_t> starts;
  };
  std::vector<uint64_t> steady, varied;
  for (uint64_t frame = 0; frame <= 60 * 44100 + 5513; frame += 5513) steady.push_back(frame);
  std::mt19937 random(7);
  for (uint64_t frame = 0; frame <= 60 * 44100; frame += 2206 + random() % 30870)
    varied.push_back(frame);
  for (const run& r : {run{"the default tempo", 0, steady},
                       {"a tempo that changes", 0, varied},
                       {"a followed clock", 40, varied}}) {
    SCOPED_TRACE(r.what);
    const recorded_clock out = play(r.starts, r.wobble);
    ASSERT_EQ(out.events[0].byte, midi_start_byte);
    const std::vector<uint64_t> pulses = out.pulses();
    const size_t played = (r.starts.back() - 1) / 128 * 128;  // the frames of whole blocks
    size_t next = 0;
    for (size_t step = 0; r.starts[step] < played; ++step) {
      const uint64_t begin = r.starts[step], end = std::min<uint64_t>(r.starts[step + 1], played);
      ASSERT_EQ(pulses[next], begin) << "step " << step;
      size_t in_step = 0;
      for (; next < pulses.size() && pulses[next] < end; ++next, ++in_step) {
        // Evenly spread: a sixth of the step apart, give or take a frame.
        const double sixth = double(r.starts[step + 1] - begin) / 6;
        EXPECT_NEAR(double(pulses[next] - begin), double(in_step) * sixth, 1.0 + r.wobble);
      }
      if (r.starts[step + 1] <= played) {
        ASSERT_EQ(in_step, 6u) << "step " << step;
      }
    }
    EXPECT_EQ(next, pulses.size());
  }
}

TEST(ClockOut, StartStopAndContinue) {
  using change = rack_block_timing::change;
  recorded_clock out;
  clock_out_schedule schedule;
  const auto block = [&](uint64_t first, change transport, bool playing, uint64_t began) {
    schedule.plan({first, 128, transport, playing, began, 4725}, out);
  };
  block(0, change::start, true, 0);
  for (uint64_t first = 128; first < 4725; first += 128) block(first, change::none, true, 0);
  block(4736, change::stop, false, 0);
  block(4864, change::none, false, 0);
  EXPECT_FALSE(schedule.playing());
  // Taken up three pulses into a step that began before the block.
  block(10112, change::resume, true, 10112 - 2400);
  block(10240, change::none, true, 10112 - 2400);
  const std::vector<clock_out_event> expected = {
      {0, 0xFA},    {0, 0xF8},    {788, 0xF8},  {1575, 0xF8},  {2363, 0xF8},  {3150, 0xF8},
      {3938, 0xF8}, {4725, 0xF8}, {4736, 0xFC}, {10112, 0xFB}, {10112, 0xF8},
  };
  ASSERT_EQ(out.events.size(), expected.size());
  for (size_t k = 0; k < expected.size(); ++k) {
    EXPECT_EQ(out.events[k].frame, expected[k].frame) << k;
    EXPECT_EQ(out.events[k].byte, expected[k].byte) << k;
  }
  EXPECT_TRUE(schedule.playing());
}
}  // namespace
