#pragma once
// Mixing of several 16-bit streams into one: the samples are summed and the sum
// is saturated to the 16-bit range. The audio layer and the offline renderer
// share this code so that both produce the same output.
#include <cstddef>
#include <cstdint>

// out[i] = saturate(sum over s of streams[s][i]) for i < samples.
void mix_saturating(const int16_t* const* streams, int stream_count, int16_t* out, size_t samples);
