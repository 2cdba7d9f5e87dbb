// The clock that the rack sends, from its timing block by block: six pulses
// a step, the first on the step's first frame, none missing or extra over a
// minute whatever the step lengths. (Start, Stop and Continue: rack_clock_test.)
#include "clock_out.h"

#include <gtest/gtest.h>

#include <random>

namespace {
using change = rack_block_timing::change;

struct recorded_clock_out : clock_out_sink {
  std::vector<clock_out_event> events;
  void send(const clock_out_event& event) override { events.push_back(event); }
};

TEST(ClockOut, SixPulsesAStepTheFirstOnItsFirstFrameNoneMissingOverAMinute) {
  std::vector<uint64_t> steady, varied;
  std::mt19937 random(7);
  for (uint64_t frame = 0; frame <= 60 * 44100 + 5513; frame += 5513) steady.push_back(frame);
  for (uint64_t frame = 0; frame <= 60 * 44100; frame += 2206 + random() % 30870)
    varied.push_back(frame);
  // Lengths exact, or revised at every block by up to 40 frames until the
  // step ends there, as a followed clock revises them.
  for (const auto& [starts, wobble] : {std::pair{steady, 0}, {varied, 0}, {varied, 40}}) {
    recorded_clock_out out;
    clock_out_schedule schedule;
    const uint64_t played = (starts.back() - 1) / 128 * 128;
    for (uint64_t first = 0, step = 0; first < played; first += 128) {
      while (starts[step + 1] <= first) ++step;
      const int64_t ends = int64_t(starts[step + 1]), revision = int64_t(random() % 81) - 40;
      const int64_t revised = ends <= int64_t(first) + 128
                                  ? ends
                                  : std::max<int64_t>(ends + revision * wobble / 40, first + 129);
      schedule.plan({first, 128, first == 0 ? change::start : change::none, true, starts[step],
                     revised - int64_t(starts[step])},
                    out);
    }
    size_t next = 1;  // after the Start
    for (size_t step = 0; starts[step] < played; ++step) {
      ASSERT_EQ(out.events.at(next).frame, starts[step]) << "step " << step;
      const double sixth = double(starts[step + 1] - starts[step]) / 6;
      int in_step = 0;
      for (;
           next < out.events.size() && out.events[next].frame < std::min(starts[step + 1], played);
           ++next, ++in_step) {
        ASSERT_EQ(out.events[next].byte, midi_clock_byte);
        EXPECT_NEAR(double(out.events[next].frame - starts[step]), in_step * sixth, 1.0 + wobble);
      }
      ASSERT_EQ(in_step, starts[step + 1] <= played ? 6 : in_step) << "step " << step;
    }
    EXPECT_EQ(next, out.events.size());
  }
}

}  // namespace
