// The R recording while the audio thread runs: a stream plays a counting
// ramp, and recordings are started and stopped over and over. Each must hold
// an unbroken run of the ramp: no block lost, doubled or out of order, none
// left over from the recording before. Under ThreadSanitizer it must report
// nothing.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "app_test_support.h"
#include "fsound.h"
#include "mix_recorder.h"
#include "temp_folder.h"
#include "wav_reading.h"

namespace {
constexpr int ramp_length = 30000;
int ramp_next = 0;  // the audio thread's

signed char ramp_callback(FSOUND_STREAM*, void* buffer, int length, void*) {
  auto* samples = static_cast<int16_t*>(buffer);
  for (int frame = 0; frame < length / 4; ++frame, ramp_next = (ramp_next + 1) % ramp_length)
    samples[2 * frame] = samples[2 * frame + 1] = static_cast<int16_t>(ramp_next);
  return 1;
}

TEST(AppRecordingStress, EveryRecordingHoldsAnUnbrokenRunOfTheMix) {
  zem_test::temp_folder folder;
  mix_recorder recorder;
  ASSERT_TRUE(fsound_block_listeners().add(&recorder));
  app_test::start_nosound();
  FSOUND_STREAM* stream =
      FSOUND_Stream_Create(ramp_callback, 65536, app_test::stream_mode, 44100, nullptr);
  ASSERT_EQ(FSOUND_Stream_Play(0, stream), 0);
  for (int round = 0; round < 20; ++round) {
    const std::string file = folder.file("take-" + std::to_string(round) + ".wav");
    std::string error;
    ASSERT_TRUE(recorder.start(file, 44100, error)) << error;
    std::this_thread::sleep_for(std::chrono::milliseconds(20 + 13 * round));
    const uint64_t frames = recorder.stop();
    const auto wav = zem_test::read_wav(file);
    ASSERT_TRUE(wav.valid && frames > 0 && wav.samples.size() == 2 * frames) << file;
    for (size_t i = 2; i < wav.samples.size(); i += 2)
      ASSERT_EQ(wav.samples[i], (wav.samples[i - 2] + 1) % ramp_length) << round << " at " << i;
  }
  FSOUND_Close();
  fsound_block_listeners().remove(&recorder);
}
}  // namespace
