// The rack's clock on the offline rack: the default sound untouched, a tempo
// taken by all five at one frame, stop with its fade, start from step 0 with
// the queued pattern, and a followed clock, seen in the sound, the
// instruments and the clock that the rack sends.
#include "rack_clock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "clock_pulses.h"
#include "rack.h"

namespace {
struct recorded_clock : clock_out_sink {
  std::vector<clock_out_event> events;
  void send(const clock_out_event& event) override { events.push_back(event); }
  // The frames where steps began: the Start or Continue, then every sixth pulse.
  std::vector<uint64_t> step_starts() const {
    std::vector<uint64_t> starts;
    int pulses = 0;
    for (const clock_out_event& e : events) {
      if (e.byte == midi_start_byte || e.byte == midi_continue_byte) pulses = 0;
      if (e.byte == midi_clock_byte && pulses++ % 6 == 0) starts.push_back(e.frame);
    }
    return starts;
  }
};

struct clocked_rack {
  engine_rack rack;
  rack_clock clock{rack.instruments()};
  recorded_clock out;
  explicit clocked_rack(bool listening = true) {
    clock.set_clock_output(&out);
    if (listening) rack.listeners().add(&clock);
  }
  std::vector<int16_t> render(int64_t frames) {
    std::vector<int16_t> samples(2 * size_t(frames));
    rack.render_mixed(samples.data(), frames);
    return samples;
  }
  // The five at the same place in the same step.
  void expect_in_step() {
    for (INSTRUMENT* i : rack.instruments()) {
      EXPECT_EQ(i->step_sample_counter, rack.instrument(0).step_sample_counter);
      EXPECT_EQ(i->samples_per_step, rack.instrument(0).samples_per_step);
    }
  }
};

bool silent(const std::vector<int16_t>& s, size_t from, size_t to) {
  for (size_t k = 2 * from; k < 2 * to; ++k)
    if (s[k] != 0) return false;
  return true;
}

TEST(RackClock, DefaultSoundUnchangedAndATempoTakenByAllFiveAtOneFrame) {
  std::srand(1);
  clocked_rack plain(false);
  std::srand(1);
  clocked_rack clocked;
  ASSERT_EQ(clocked.render(3 * 44100), plain.render(3 * 44100));
  ASSERT_EQ(clocked.out.step_starts()[24], 24u * 5513);

  struct tempo {
    double bpm;
    float samples_per_step;
    uint64_t step_frames;
  };
  for (const tempo& t : {tempo{150, 4410, 4411},
                         {98, 6750, 6751},
                         {300, 2205, 2206},
                         {1000, 2205, 2206},
                         {20, 33075, 33076},
                         {3, 33075, 33076}}) {
    SCOPED_TRACE(t.bpm);
    clocked.clock.set_bpm(t.bpm);
    clocked.render(1000);
    for (INSTRUMENT* i : clocked.rack.instruments())
      EXPECT_EQ(i->samples_per_step, t.samples_per_step);
    clocked.render(3 * t.step_frames);
    const std::vector<uint64_t> starts = clocked.out.step_starts();
    EXPECT_EQ(starts.back() - starts[starts.size() - 2], t.step_frames);
    clocked.expect_in_step();
  }
}

TEST(RackClock, StopFadesWithinABlockAndStartTakesAllFiveFromStepZero) {
  std::srand(1);
  clocked_rack plain(false);
  std::srand(1);
  clocked_rack clocked;
  clocked.rack.first_drum().pattern_memory[0][0] = 1;
  plain.rack.first_drum().pattern_memory[0][0] = 1;
  const std::vector<int16_t> heard = plain.render(30000);
  std::vector<int16_t> stopped = clocked.render(20000);
  clocked.clock.set_running(false);
  const std::vector<int16_t> rest = clocked.render(10000);
  stopped.insert(stopped.end(), rest.begin(), rest.end());
  // Frames 20000 .. 20095 play on, the block from 20096 fades, then silence.
  const size_t fade = 20096, halt = fade + 128;
  EXPECT_TRUE(std::equal(heard.begin(), heard.begin() + 2 * fade, stopped.begin()));
  for (size_t k = 2 * fade; k < 2 * halt; ++k) EXPECT_LE(std::abs(stopped[k]), std::abs(heard[k]));
  EXPECT_FALSE(silent(stopped, fade, fade + 64));
  EXPECT_TRUE(silent(stopped, halt - 1, 30000));
  EXPECT_FALSE(clocked.clock.playing());

  // Halted: nothing moves on.
  const int32_t step = clocked.rack.instrument(2).current_step;
  const int32_t counter = clocked.rack.instrument(2).step_sample_counter;
  clocked.render(7 * 5513);
  EXPECT_EQ(clocked.rack.instrument(2).current_step, step);
  EXPECT_EQ(clocked.rack.instrument(2).step_sample_counter, counter);

  clocked.rack.first_bass().set_queued_pattern(5);
  clocked.clock.set_running(true);
  const uint64_t start = (30000 + 7 * 5513 + 127) / 128 * 128;
  const std::vector<int16_t> started = clocked.render(int64_t(start) + 300 - (30000 + 7 * 5513));
  for (INSTRUMENT* i : clocked.rack.instruments()) {
    EXPECT_EQ(i->current_step, 0);
    EXPECT_EQ(i->step_sample_counter, 300);
  }
  EXPECT_EQ(clocked.rack.first_bass().current_pattern, 5);
  EXPECT_FALSE(silent(started, started.size() / 2 - 300, started.size() / 2));
  const auto& events = clocked.out.events;
  const auto find = [&](uint8_t byte) {
    return std::find_if(events.begin(), events.end(), [&](auto& e) { return e.byte == byte; });
  };
  ASSERT_NE(find(midi_stop_byte), events.end());
  EXPECT_EQ(find(midi_stop_byte)->frame, halt);
  EXPECT_EQ(events.back().frame, start);  // the first pulse of the new start
  EXPECT_EQ(events[events.size() - 2].byte, midi_start_byte);
  EXPECT_EQ(events[events.size() - 2].frame, start);
}

TEST(RackClock, AFollowedClockIsHeardOnlyWhileItRunsWithStepsOnItsSixthPulses) {
  std::srand(1);
  clocked_rack clocked;
  const double first_pulse = 10050;
  const std::vector<clock_message> pulses = zem_test::clock_pulses(140, first_pulse, 24 * 60);
  clock_message_list source(zem_test::merged(
      {{10000, clock_message_kind::start}, {pulses[597].frame + 1, clock_message_kind::stop}},
      pulses));
  clocked.clock.set_clock_input(&source);
  clocked.clock.set_sync(sync_source::midi_clock);
  const std::vector<int16_t> sound = clocked.render(12 * 44100);

  // Silent until the block after the first pulse; from there the first step
  // goes on 62 frames in.
  EXPECT_TRUE(silent(sound, 0, 10112));
  EXPECT_FALSE(silent(sound, 10112, 12000));
  const std::vector<uint64_t> starts = clocked.out.step_starts();
  ASSERT_EQ(starts.size(), 100u);
  EXPECT_EQ(starts[0], 10112u);
  for (size_t n = 1; n < starts.size(); ++n) EXPECT_EQ(starts[n], pulses[6 * n].frame) << n;
  EXPECT_NEAR(clocked.clock.heard_bpm(), 140, 0.01);
  clocked.expect_in_step();
  // Stopped in step 99: silent from the block after the next.
  EXPECT_TRUE(silent(sound, (pulses[597].frame / 128 + 2) * 128, 12 * 44100));
  EXPECT_EQ(clocked.out.events.back().byte, midi_stop_byte);
}
}  // namespace
