// The R recording and the step-event rings while the audio thread runs: a
// stream plays a counting ramp and posts a step event per block, the main
// thread takes the events as the main loop does and starts and stops
// recordings over and over. Every recording must hold an unbroken run of the
// ramp (no block lost, doubled or out of order, none from the recording
// before), and the events must arrive in order. Under ThreadSanitizer it
// must report nothing.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "app_test_support.h"
#include "fsound.h"
#include "mix_recorder.h"
#include "step_event_rings.h"
#include "temp_folder.h"
#include "wav_reading.h"

namespace {
constexpr int ramp_length = 30000;
constexpr int32_t ramp_instrument = 1000;
std::atomic<int> ramp_next{0};

signed char ramp_callback(FSOUND_STREAM*, void* buffer, int length, void*) {
  auto* samples = static_cast<int16_t*>(buffer);
  int next = ramp_next.load(std::memory_order_relaxed);
  for (int frame = 0; frame < length / 4; ++frame) {
    samples[2 * frame] = samples[2 * frame + 1] = static_cast<int16_t>(next);
    next = (next + 1) % ramp_length;
  }
  ramp_next.store(next, std::memory_order_relaxed);
  post_step_event(ramp_instrument, next);
  return 1;
}

TEST(AppRecordingStress, EveryRecordingHoldsAnUnbrokenRunOfTheMix) {
  zem_test::temp_folder folder;
  INSTRUMENT ramp_owner;
  ramp_owner.instrument_number = ramp_instrument;
  INSTRUMENT* const ring_of[] = {&ramp_owner};
  install_step_event_rings(ring_of);
  mix_recorder recorder;
  ASSERT_TRUE(fsound_block_listeners().add(&recorder));
  app_test::start_nosound();
  FSOUND_STREAM* stream =
      FSOUND_Stream_Create(ramp_callback, 65536, app_test::stream_mode, 44100, nullptr);
  ASSERT_EQ(FSOUND_Stream_Play(0, stream), 0);

  int64_t last_event = -1;
  uint64_t events = 0;
  const auto take_events = [&] {
    step_event event;
    while (take_step_event(0, event)) {
      // Each event carries where the ramp stood: it moves on a block each time.
      if (last_event >= 0) {
        EXPECT_EQ(event.number, (last_event + fsound_block_frames) % ramp_length);
      }
      last_event = event.number;
      ++events;
    }
  };
  for (int round = 0; round < 20; ++round) {
    const std::string file = folder.file("take-" + std::to_string(round) + ".wav");
    std::string error;
    ASSERT_TRUE(recorder.start(file, 44100, error)) << error;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(40 + 13 * round);
    while (std::chrono::steady_clock::now() < end) {
      take_events();
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    const uint64_t frames = recorder.stop();
    EXPECT_FALSE(recorder.failed()) << recorder.failure();
    EXPECT_EQ(recorder.lost_frames(), 0u);
    const auto wav = zem_test::read_wav(file);
    ASSERT_TRUE(wav.valid) << file;
    ASSERT_EQ(wav.samples.size(), 2 * frames);
    ASSERT_GT(frames, 0u) << round;
    for (size_t i = 2; i < wav.samples.size(); i += 2)
      ASSERT_EQ(wav.samples[i], (wav.samples[i - 2] + 1) % ramp_length) << round << " at " << i;
  }
  take_events();
  FSOUND_Close();
  fsound_block_listeners().remove(&recorder);
  EXPECT_GT(events, 100u);
  EXPECT_EQ(dropped_step_events(), 0u);
}
}  // namespace
