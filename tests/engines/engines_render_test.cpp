// What the three engines' `render` share: the buffer is filled frame by frame
// (a remainder of fewer than four bytes is left as it was), and sequencer
// fields driven anywhere (queued or chained past the memory, loaded from a
// file) never make `render` or `print_state` read outside the pattern memory;
// the sequencer comes back inside it at the next step boundary.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "osc.h"
#include "render_frames.h"
#include "tb303.h"
#include "tb808.h"

namespace {

// Each engine with every step of its memory sounding (or at 440 Hz), so that
// only a position outside the memory can give an empty step.
std::vector<std::unique_ptr<INSTRUMENT>> engines_with_full_memories() {
  std::vector<std::unique_ptr<INSTRUMENT>> engines;
  auto bass = std::make_unique<TB303>();
  for (auto& pattern : bass->pattern_memory)
    std::fill(std::begin(pattern), std::end(pattern), 440.0f);
  auto drum = std::make_unique<TB808>();
  for (auto& pattern : drum->pattern_memory) std::fill(std::begin(pattern), std::end(pattern), 1);
  auto osc = std::make_unique<OSC>();
  std::fill(std::begin(osc->step_frequencies), std::end(osc->step_frequencies), 440.0f);
  engines.push_back(std::move(bass));
  engines.push_back(std::move(drum));
  engines.push_back(std::move(osc));
  return engines;
}

TEST(EnginesRender, WholeFramesOnlyAndTheRemainderIsLeftAsItWas) {
  for (const auto& engine : engines_with_full_memories()) {
    SCOPED_TRACE(engine->engine_name);
    std::vector<unsigned char> buffer(4 * 10 + 2, 0xAB);
    EXPECT_TRUE(engine->render(nullptr, buffer.data(), 4 * 10 + 2, nullptr));
    EXPECT_EQ(engine->step_sample_counter, 10);
    EXPECT_NE(buffer[36], 0xAB);  // the tenth frame is written
    EXPECT_EQ(buffer[40], 0xAB);
    EXPECT_EQ(buffer[41], 0xAB);
    std::vector<unsigned char> tiny(3, 0xCD);
    EXPECT_TRUE(engine->render(nullptr, tiny.data(), 3, nullptr));
    EXPECT_TRUE(engine->render(nullptr, tiny.data(), -8, nullptr));
    EXPECT_EQ(tiny, std::vector<unsigned char>(3, 0xCD));
    EXPECT_EQ(engine->step_sample_counter, 10);
  }
}

// The sanitizer build catches a stray read.
TEST(EnginesRender, SequencerFieldsOutsideTheMemoryAreSafe) {
  const int32_t wild[] = {-1, 255, 1000, std::numeric_limits<int32_t>::max(),
                          std::numeric_limits<int32_t>::min()};
  for (const auto& engine : engines_with_full_memories()) {
    SCOPED_TRACE(engine->engine_name);
    const bool counts_passes_only = std::string(engine->engine_name) == "OSC";
    for (int32_t value : wild) {
      SCOPED_TRACE(value);
      engine->current_pattern = value;
      engine->current_step = value;
      engine->step_count = value;
      engine->step_sample_counter = 0;
      // The waveform starts from 0, where a step of frequency 0 keeps it.
      if (auto* bass = dynamic_cast<TB303*>(engine.get())) bass->phase = 0.0f;
      if (auto* osc = dynamic_cast<OSC*>(engine.get())) osc->phase = 0.0f;
      EXPECT_FALSE(printed_state(*engine).empty());
      const std::vector<int16_t> out = render_frames(*engine, frames_per_step + 1);
      EXPECT_TRUE(silent({out.begin(), out.end() - 1}));  // outside the memory: an empty step
      EXPECT_GE(engine->current_step, 0);
      EXPECT_LT(engine->current_step, 255);
      if (!counts_passes_only) {
        EXPECT_GE(engine->current_pattern, 0);
        EXPECT_LT(engine->current_pattern, 255);
      }
    }
  }
}

}  // namespace
