// The panel edits a playing bass line from the main thread while `render` runs
// on the audio thread, with no lock: under ThreadSanitizer this shows that every
// field the two sides share is a shared field, including a block load.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

#include "step_event_recorder.h"
#include "tb303.h"

namespace {

TEST(TB303Stress, PanelEditsWhileRendering) {
  step_event_recorder events;
  auto engine = std::make_unique<TB303>();
  engine->samples_per_step = 300.0f;  // many step and pass boundaries
  engine->chain_switch = 1;
  std::atomic<bool> done{false};

  std::thread audio([&] {
    std::vector<int16_t> buffer(2 * 256);
    for (int n = 0; n < 400; ++n) engine->render(nullptr, buffer.data(), 256 * 4, nullptr);
    done = true;
  });

  FILE* file = std::tmpfile();
  ASSERT_EQ(engine->write_state(file), 1);
  for (int n = 0; !done; ++n) {
    engine->volume_up();
    engine->filter_level_down();
    engine->toggle_filter();
    engine->toggle_noise();
    engine->toggle_distortion();
    engine->envelope_lfo->toggle();
    engine->filter_lfo->toggle();
    engine->wave_kind = n % 6;
    engine->wave_divisor = static_cast<float>(n % 3);
    engine->pattern_memory[n % 255][n % 16] = static_cast<float>(n % 500);
    engine->set_queued_pattern(n % 300);
    if (n % 50 == 0) {
      std::rewind(file);
      EXPECT_EQ(engine->read_state(file), 1);
    }
  }
  audio.join();
  std::fclose(file);
  // Whatever was queued or chained, the sequencer stayed inside the memory.
  EXPECT_GE(engine->current_pattern, 0);
  EXPECT_LT(engine->current_pattern, 255);
  EXPECT_GE(engine->current_step, 0);
  EXPECT_LT(engine->current_step, 16);
}

}  // namespace
