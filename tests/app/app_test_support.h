#pragma once
// Helpers of the application tests alone: the streams' mode word, starting the
// audio layer's "NoSound" output, whether an instrument has played. Temporary
// folders, child processes, WAV files and leak suppressions are in
// tests/support/.
#include <gtest/gtest.h>

#include "fsound.h"
#include "instrument.h"

namespace app_test {

// The mode word of the program's streams: 16-bit, stereo, signed, bit 24.
constexpr unsigned int stream_mode = 0x1000150;

// Initialises the layer on the "NoSound" output with the given driver (0
// discards the sound, 1 records it).
inline void start_nosound(int driver = 0) {
  ASSERT_TRUE(FSOUND_SetOutput(FSOUND_OUTPUT_NOSOUND));
  ASSERT_TRUE(FSOUND_SetDriver(driver));
  ASSERT_TRUE(FSOUND_Init(44100, 32, 0));
}

// Whether the instrument's sequencer has moved, that is its stream was pulled.
inline bool has_played(const INSTRUMENT* instrument) {
  return instrument->current_step != 0 || instrument->step_sample_counter != 0;
}

}  // namespace app_test
