#include "mixer.h"

#include <algorithm>
#include <limits>

void mix_saturating(const int16_t* const* streams, int stream_count, int16_t* out, size_t samples) {
  constexpr int32_t low = std::numeric_limits<int16_t>::min();
  constexpr int32_t high = std::numeric_limits<int16_t>::max();
  for (size_t i = 0; i < samples; ++i) {
    int32_t sum = 0;  // five streams of 16 bits cannot overflow 32 bits
    for (int s = 0; s < stream_count; ++s) sum += streams[s][i];
    out[i] = static_cast<int16_t>(std::clamp(sum, low, high));
  }
}
