// Stress: the main thread changes the tempo, stops and starts the rack and
// cycles the sync source as fast as it can, a MIDI input thread feeds clock
// messages and a MIDI output thread takes the rack's clock, all while the
// "NoSound" thread plays the five. Under ThreadSanitizer nothing may race;
// in any build the rack ends playing at the tempo last set, all five alike.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "app_test_support.h"
#include "rack_control.h"
#include "startup.h"

namespace {
using namespace std::chrono_literals;

TEST(AppRackClockStress, SettingsRaceTheAudioThreadAndTheMidiPorts) {
  app_test::start_nosound();
  build_instruments();
  start_rack_clock(sync_source::internal);
  create_streams();
  start_streams();
  rack_clock& clock = program_rack_clock();

  std::atomic<bool> done{false};
  std::thread midi_in([&] {
    uint64_t frame = 0;
    for (size_t k = 0; !done.load(); ++k) {
      frame += 700 + k % 200;
      const auto kind = k % 97 == 0   ? clock_message_kind::start
                        : k % 89 == 0 ? clock_message_kind::stop
                                      : clock_message_kind::pulse;
      program_clock_input().push({frame, kind, 0});
      std::this_thread::sleep_for(100us);
    }
  });
  std::atomic<uint64_t> sent{0};
  std::thread midi_out([&] {
    clock_out_event event;
    while (!done.load()) {
      while (program_clock_output().take_before(UINT64_MAX, event)) ++sent;
      std::this_thread::sleep_for(200us);
    }
  });
  const auto until = std::chrono::steady_clock::now() + 2500ms;
  for (int k = 0; std::chrono::steady_clock::now() < until; ++k) {
    change_rack_tempo(k % 2 ? 7.3 : -5.1);
    if (k % 5 == 0) toggle_rack_running();
    if (k % 13 == 0) cycle_sync_source();
    if (k % 7 == 0) tap_rack_tempo(k * 0.3);
    std::this_thread::sleep_for(k % 3 == 0 ? 0us : 300us);
  }
  while (clock.sync() != sync_source::internal) cycle_sync_source();
  clock.set_bpm(150);
  clock.set_running(true);
  const auto settled = [&] {
    for (INSTRUMENT* i : instrument_list)
      if (i->samples_per_step != 4410.0f) return false;
    return clock.playing();
  };
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (!settled() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(1ms);
  EXPECT_TRUE(settled());
  done = true;
  midi_in.join();
  midi_out.join();
  shut_down();
  EXPECT_GT(sent.load(), 0u);
}
}  // namespace
