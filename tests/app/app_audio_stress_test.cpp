// Streams are created, started and closed over and over while the "NoSound"
// thread pulls them and the five instruments play with their parameters
// (and the rack's clock) stepped from the main thread. A callback after its
// stream was closed, or a data race, shows up here (under AddressSanitizer
// and ThreadSanitizer).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <thread>

#include "app_test_support.h"
#include "fsound.h"
#include "rack_control.h"
#include "startup.h"

namespace {
constexpr unsigned int mode = app_test::stream_mode;

struct guarded_source {
  std::atomic<bool> open{true};
  std::atomic<int> calls{0};
};
std::atomic<int> calls_after_close{0};

signed char guarded_callback(FSOUND_STREAM*, void* buffer, int length, void* user) {
  auto* source = static_cast<guarded_source*>(user);
  if (!source->open.load()) ++calls_after_close;
  ++source->calls;
  auto* samples = static_cast<int16_t*>(buffer);
  for (int i = 0; i < length / 2; ++i) samples[i] = 1000;
  return 1;
}

TEST(AppAudioStress, StreamsComeAndGoWhileTheInstrumentsPlay) {
  app_test::start_nosound();
  build_instruments();
  start_rack_clock(sync_source::internal);
  create_streams();
  start_streams();

  int total_calls = 0;
  for (int round = 0; round < 150; ++round) {
    auto source = std::make_unique<guarded_source>();
    FSOUND_STREAM* stream =
        FSOUND_Stream_Create(guarded_callback, 65536, mode, 44100, source.get());
    ASSERT_NE(stream, nullptr);
    ASSERT_EQ(FSOUND_Stream_Play(5 + round % 20, stream), 5 + round % 20);
    // Edits meanwhile, as a panel makes them.
    for (INSTRUMENT* instrument : instrument_list) {
      instrument->filter_level_up();
      instrument->volume_down();
      if (round % 10 == 0) instrument->toggle_filter();
    }
    change_rack_tempo(round % 2 ? 7.3 : -5.1);
    if (round % 3 == 0) toggle_rack_running();
    if (round % 7 == 0) cycle_sync_source();
    program_clock_input().push(
        {round * 787ull, round % 9 ? clock_message_kind::pulse : clock_message_kind::start});
    std::this_thread::sleep_for(std::chrono::microseconds(500 + 97 * (round % 50)));
    ASSERT_TRUE(FSOUND_Stream_Close(stream));
    source->open = false;
    total_calls += source->calls;
    std::this_thread::sleep_for(std::chrono::microseconds(200));
    source.reset();  // a late call would now touch freed memory
  }
  shut_down();
  EXPECT_EQ(calls_after_close.load(), 0);
  EXPECT_GT(total_calls, 0);
}
}  // namespace
