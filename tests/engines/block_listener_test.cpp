// The rack's block listeners: blocks start at the same frames whatever pieces
// the rack is rendered in, and what a listener changes is what comes out.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <vector>

#include "rack.h"

namespace {
struct block_log : rack_block_listener {
  std::vector<uint64_t> starts;
  uint64_t next = 0;  // where the next piece must begin
  uint64_t silence_from = UINT64_MAX;
  void before_block(uint64_t first_frame, int frames) override {
    starts.push_back(first_frame);
    EXPECT_EQ(frames, rack_block_frames);
  }
  void after_block(uint64_t first_frame, int16_t* mixed, int frames) override {
    EXPECT_EQ(first_frame, next);
    EXPECT_EQ(first_frame / rack_block_frames, (first_frame + frames - 1) / rack_block_frames);
    next = first_frame + static_cast<uint64_t>(frames);
    if (first_frame >= silence_from) std::fill(mixed, mixed + 2 * frames, int16_t{0});
  }
};

std::vector<int16_t> render(const std::vector<int>& pieces, block_log* log) {
  std::srand(1);
  engine_rack rack;
  if (log != nullptr) rack.listeners().add(log);
  std::vector<int16_t> out(2 * static_cast<size_t>(std::reduce(pieces.begin(), pieces.end())));
  int16_t* at = out.data();
  for (int piece : pieces) {
    rack.render_mixed(at, piece);
    at += 2 * piece;
  }
  return out;
}

TEST(BlockListeners, BlocksStartAtTheSameFramesWhateverThePieces) {
  const std::vector<int16_t> plain = render({1000}, nullptr);
  for (const std::vector<int>& pieces :
       {std::vector<int>{1000}, {1, 127, 129, 743}, {128, 128, 744}, {999, 1}}) {
    block_log log;
    EXPECT_EQ(render(pieces, &log), plain);
    EXPECT_EQ(log.starts, (std::vector<uint64_t>{0, 128, 256, 384, 512, 640, 768, 896}));
    EXPECT_EQ(log.next, 1000u);
  }
}

TEST(BlockListeners, WhatAListenerChangesIsWhatComesOut) {
  const std::vector<int16_t> plain = render({1000}, nullptr);
  block_log log;
  log.silence_from = 256;
  const std::vector<int16_t> quiet = render({300, 700}, &log);
  EXPECT_TRUE(std::equal(quiet.begin(), quiet.begin() + 512, plain.begin()));
  EXPECT_TRUE(std::all_of(quiet.begin() + 512, quiet.end(), [](int16_t s) { return s == 0; }));
  EXPECT_FALSE(std::all_of(plain.begin() + 512, plain.end(), [](int16_t s) { return s == 0; }));
}
}  // namespace
