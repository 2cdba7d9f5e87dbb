// The rack's clock on the offline rack: the default sound untouched, a tempo
// taken by all five at one frame, stop with its fade, start from step 0 with
// the queued pattern, and a followed clock; in the sound, in the instruments
// and in the clock that the rack sends.
#include "rack_clock.h"

#include <gtest/gtest.h>

#include "rack.h"
#include "test_clocks.h"

namespace {
struct clocked_rack : clock_out_sink {
  engine_rack rack;
  rack_clock clock{rack.instruments()};
  std::vector<uint64_t> step_starts;  // Start or Continue, then every sixth pulse
  std::string transport;              // "0 start 20224 stop "
  int pulses = 0;
  explicit clocked_rack(bool listening = true) {
    std::srand(1);  // the bass lines' random notes
    clock.set_clock_output(this);
    if (listening) rack.listeners().add(&clock);
  }
  void send(const clock_out_event& e) override {
    if (e.byte == midi_clock_byte) {
      if (pulses++ % 6 == 0) step_starts.push_back(e.frame);
      return;
    }
    pulses = 0;
    transport +=
        std::to_string(e.frame) + std::array{" start ", " continue ", " stop "}[e.byte - 0xFA];
  }
  std::vector<int16_t> render(int64_t frames) {
    std::vector<int16_t> samples(2 * size_t(frames));
    rack.render_mixed(samples.data(), frames);
    return samples;
  }
  void expect_all_five_in_step() {
    for (INSTRUMENT* i : rack.instruments())
      EXPECT_EQ(std::pair(i->step_sample_counter.load(), i->samples_per_step.load()),
                std::pair(rack.instrument(0).step_sample_counter.load(),
                          rack.instrument(0).samples_per_step.load()));
  }
};

bool silent(const std::vector<int16_t>& s, size_t from, size_t to) {
  return std::all_of(s.begin() + 2 * from, s.begin() + 2 * to, [](int16_t v) { return v == 0; });
}

TEST(RackClock, DefaultSoundUnchangedAndATempoTakenByAllFiveAtOneFrame) {
  clocked_rack plain(false), clocked;
  ASSERT_EQ(clocked.render(3 * 44100), plain.render(3 * 44100));
  ASSERT_EQ(clocked.step_starts[24], 24u * 5513);
  for (const auto& [bpm, step] :
       std::vector<std::pair<double, float>>{{150, 4410}, {98, 6750}, {1000, 2205}, {3, 33075}}) {
    clocked.clock.set_bpm(bpm);
    clocked.render(1000 + 128 * (bpm < 100));  // stepping into a block or not
    for (INSTRUMENT* i : clocked.rack.instruments()) EXPECT_EQ(i->samples_per_step, step) << bpm;
    clocked.expect_all_five_in_step();
  }
}

TEST(RackClock, StopFadesWithinABlockAndStartTakesAllFiveFromStepZero) {
  clocked_rack plain(false), clocked;
  const std::vector<int16_t> heard = plain.render(30000);
  std::vector<int16_t> stopped = clocked.render(20000);
  clocked.clock.set_running(false);
  for (int16_t s : clocked.render(10000)) stopped.push_back(s);
  // Frames 20000 .. 20095 play on, the block from 20096 fades, then silence.
  const size_t fade = 20096, halt = fade + 128;
  EXPECT_TRUE(std::equal(heard.begin(), heard.begin() + 2 * fade, stopped.begin()));
  for (size_t k = 2 * fade; k < 2 * halt; ++k) EXPECT_LE(std::abs(stopped[k]), std::abs(heard[k]));
  EXPECT_TRUE(silent(stopped, halt - 1, 30000));
  const int32_t counter = clocked.rack.instrument(2).step_sample_counter;
  clocked.render(7 * 5513);  // halted: nothing moves on
  EXPECT_EQ(clocked.rack.instrument(2).step_sample_counter, counter);

  clocked.rack.first_bass().set_queued_pattern(5);
  clocked.clock.set_running(true);
  const uint64_t start = (30000 + 7 * 5513 + 127) / 128 * 128;
  EXPECT_FALSE(silent(clocked.render(int64_t(start) + 300 - (30000 + 7 * 5513)), 0, 300));
  for (INSTRUMENT* i : clocked.rack.instruments())
    EXPECT_EQ(std::pair(i->current_step.load(), i->step_sample_counter.load()), std::pair(0, 300));
  EXPECT_EQ(clocked.rack.first_bass().current_pattern, 5);
  EXPECT_EQ(clocked.transport,
            "0 start " + std::to_string(halt) + " stop " + std::to_string(start) + " start ");
}

TEST(RackClock, AFollowedClockIsHeardOnlyWhileItRunsWithStepsOnItsSixthPulses) {
  clocked_rack clocked;
  const std::vector<clock_message> pulses = zem_test::clock_pulses(140, 10050, 800);
  const uint64_t stop = pulses[597].frame + 1, resume = pulses[700].frame + 1;  // in step 99
  clock_message_list source(zem_test::clock_pulses(140, 10050, 800, 0,
                                                   {{10000, clock_message_kind::start},
                                                    {stop, clock_message_kind::stop},
                                                    {resume, clock_message_kind::resume}}));
  clocked.clock.set_clock_input(&source);
  clocked.clock.set_sync(sync_source::midi_clock);
  const std::vector<int16_t> sound = clocked.render(resume + 1000);
  // Silent until the block after the first pulse, which starts 62 frames
  // into the first step; then a step on every sixth pulse until the Stop.
  EXPECT_TRUE(silent(sound, 0, 10112));
  EXPECT_FALSE(silent(sound, 10112, 12000));
  ASSERT_EQ(clocked.step_starts.size(), 101u);
  for (size_t n = 1; n < 100; ++n) EXPECT_EQ(clocked.step_starts[n], pulses[6 * n].frame) << n;
  EXPECT_NEAR(clocked.clock.heard_bpm(), 140, 0.01);
  clocked.expect_all_five_in_step();
  EXPECT_TRUE(silent(sound, (stop / 128 + 2) * 128, pulses[701].frame));
  // Continue: from the next pulse, step 99 goes on 4 pulses in, and so does
  // the receivers' clock.
  const uint64_t taken_up = (pulses[701].frame / 128 + 1) * 128;
  EXPECT_FALSE(silent(sound, taken_up, resume + 1000));
  EXPECT_EQ(clocked.transport, "10112 start " + std::to_string((stop / 128 + 2) * 128) + " stop " +
                                   std::to_string(taken_up) + " continue ");
  EXPECT_EQ(clocked.step_starts[100], taken_up);
}
}  // namespace
