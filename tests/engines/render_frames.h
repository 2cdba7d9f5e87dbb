#pragma once
// Rendering helpers shared by the engine tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "instrument.h"

// A step at the default tempo lasts floor(5512.5) + 1 frames.
constexpr int frames_per_step = 5513;

// Renders `frames` frames in buffers of 512 frames and returns the left
// channel, checking that the right channel carries the same sample.
inline std::vector<int16_t> render_frames(INSTRUMENT& engine, int frames) {
  std::vector<int16_t> left;
  std::vector<int16_t> buffer(2 * 512);
  while (frames > 0) {
    const int n = std::min(frames, 512);
    EXPECT_TRUE(engine.render(nullptr, buffer.data(), n * 4, nullptr));
    for (int k = 0; k < n; ++k) {
      EXPECT_EQ(buffer[2 * k], buffer[2 * k + 1]);
      left.push_back(buffer[2 * k]);
    }
    frames -= n;
  }
  return left;
}

inline bool silent(const std::vector<int16_t>& samples) {
  return std::all_of(samples.begin(), samples.end(), [](int16_t s) { return s == 0; });
}

// What `print_state` prints on standard output.
inline std::string printed_state(INSTRUMENT& instrument) {
  testing::internal::CaptureStdout();
  instrument.print_state();
  std::fflush(stdout);
  return testing::internal::GetCapturedStdout();
}
