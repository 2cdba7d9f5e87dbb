// Stress: the main thread loads and saves pattern files of an instrument while
// another thread renders it, as its audio stream does. Two files fill the
// whole pattern memory with one value each; after every render block the
// rendering thread finds the memory holding one of them entirely, never a mix
// of old and new, and every saved file holds one of them entirely too.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

#include "pattern_image.h"
#include "pattern_images.h"
#include "state_handoff.h"
#include "tb303.h"

namespace {

constexpr int loads = 30;
constexpr float frequency_a = 220.0f;
constexpr float frequency_b = 440.0f;

// Every step of the memory holds `frequency`; the sequencer stands elsewhere
// in each file too, so that the position comes with the memory.
image_bytes filled_image(float frequency, int32_t pattern) {
  TB303 bass;
  for (auto& row : bass.pattern_memory)
    for (auto& step : row) step = frequency;
  bass.current_pattern = pattern;
  bass.samples_per_step = 50.5f;  // step boundaries inside every block
  return image_of(bass);
}

// The value that fills the whole memory, or 0 when it holds a mix.
float uniform_value(const TB303& bass) {
  const float first = bass.pattern_memory[0][0];
  for (const auto& row : bass.pattern_memory)
    for (const auto& step : row)
      if (step != first) return 0.0f;
  return first;
}

float uniform_value(const image_bytes& image) {
  const float first = float_at(image, 16);
  for (size_t at = 16; at < 16 + 255 * 255 * 4; at += 4)
    if (float_at(image, at) != first) return 0.0f;
  return first;
}

struct render_report {
  int blocks = 0;
  int mixed_blocks = 0;
  int changes = 0;  // blocks after which the memory held the other file
};

void render_until(TB303& bass, const std::atomic<bool>& stop, render_report& report) {
  std::vector<int16_t> block(2 * 256);
  float last = uniform_value(bass);
  while (!stop.load()) {
    bass.render(nullptr, block.data(), int(block.size() * 2), nullptr);
    const float value = uniform_value(bass);
    ++report.blocks;
    if (value != frequency_a && value != frequency_b) ++report.mixed_blocks;
    if (value != last) ++report.changes;
    last = value;
  }
}

}  // namespace

TEST(PatternLoadStress, RenderBlocksNeverMixOldAndNewMemory) {
  const image_bytes file_a = filled_image(frequency_a, 3);
  const image_bytes file_b = filled_image(frequency_b, 7);
  TB303 bass;
  ASSERT_EQ(read_image(bass, file_a), 1);  // no stream yet: applied at once
  int stream = 0;
  bass.stream_handle = &stream;  // from now on a stream renders the instrument
  const LFO* own_lfo = bass.filter_lfo.get();
  const int32_t own_number = bass.instrument_number;

  std::atomic<bool> stop{false};
  render_report report;
  std::thread renderer(render_until, std::ref(bass), std::cref(stop), std::ref(report));
  int saves_mixed = 0;
  for (int n = 0; n < loads; ++n) {
    ASSERT_EQ(read_image(bass, n % 2 ? file_a : file_b), 1) << n;
    const image_bytes saved = image_of(bass);
    if (uniform_value(saved) != (n % 2 ? frequency_a : frequency_b)) ++saves_mixed;
  }
  stop = true;
  renderer.join();

  EXPECT_EQ(report.mixed_blocks, 0);
  EXPECT_EQ(saves_mixed, 0);
  EXPECT_EQ(report.changes, loads);  // each load taken over by exactly one block
  EXPECT_GE(report.blocks, loads);
  EXPECT_EQ(bass.stream_handle, &stream);
  EXPECT_EQ(bass.filter_lfo.get(), own_lfo);
  EXPECT_EQ(bass.instrument_number, own_number);
}

TEST(PatternLoadStress, StreamThatRendersNothingLeavesTheInstrumentAsItWas) {
  TB303 bass;
  int stream = 0;
  bass.stream_handle = &stream;  // a stream that never asks for a block
  image_bytes file = filled_image(frequency_b, 7);
  state_transfer load{state_transfer::direction::load, file};
  const float before = bass.pattern_memory[0][0];
  EXPECT_FALSE(transfer_between_blocks(bass, load, std::chrono::milliseconds(1)));
  EXPECT_EQ(bass.staged_transfer.load(), nullptr);
  EXPECT_EQ(bass.pattern_memory[0][0], before);
  EXPECT_EQ(bass.current_pattern, 0);
  // The withdrawn transfer is not run by a later block.
  std::vector<int16_t> block(2 * 16);
  bass.render(nullptr, block.data(), int(block.size() * 2), nullptr);
  EXPECT_EQ(bass.pattern_memory[0][0], before);
}
