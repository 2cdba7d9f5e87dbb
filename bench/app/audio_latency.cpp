// zem-audio-latency: how long an edit made on the main thread takes to reach
// the output with the "NoSound" output, in frames at 44100 Hz.
//
// The five instruments play as in the program; a sixth, a bass line of its own,
// plays on channel 5 with its power off. The main thread switches its power on
// at a random moment and notes the time; the audio thread notes when it mixes
// the first block that holds sound again and where in the block the sound
// starts. "To the mix" is the time until that frame is mixed; "to the output"
// adds the blocks that the "NoSound" clock mixes ahead of their time.
//
// Usage: zem-audio-latency [trials]   (default 300)
#include <time.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <thread>
#include <vector>

#include "fsound.h"
#include "nosound_output.h"
#include "startup.h"
#include "stream_callback.h"
#include "tb303.h"

namespace {
int64_t now_ns() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1000000000LL + t.tv_nsec;
}

std::atomic<int> armed{-1};  // the trial waiting for sound, -1 when none
std::atomic<int> seen{-1};   // the last trial whose sound was mixed
std::atomic<int64_t> seen_at{0};
std::atomic<int> seen_offset{0};

signed char watching_callback(FSOUND_STREAM* stream, void* buffer, int length, void* user) {
  const int64_t start = now_ns();
  stream_callback(stream, buffer, length, user);
  const int trial = armed.load();
  if (trial < 0) return 1;
  const auto* samples = static_cast<const int16_t*>(buffer);
  for (int frame = 0; frame < length / 4; ++frame) {
    if (samples[2 * frame] == 0 && samples[2 * frame + 1] == 0) continue;
    seen_at = start;
    seen_offset = frame;
    armed = -1;
    seen = trial;
    break;
  }
  return 1;
}

double percentile(std::vector<double> values, double p) {
  std::sort(values.begin(), values.end());
  return values[static_cast<size_t>(p * static_cast<double>(values.size() - 1))];
}
}  // namespace

int main(int argc, char** argv) {
  const int trials = argc > 1 ? std::max(1, std::atoi(argv[1])) : 300;
  tempo = 133;
  if (!FSOUND_SetOutput(FSOUND_OUTPUT_NOSOUND) || !FSOUND_Init(44100, 32, 0)) return 1;
  build_instruments();
  create_streams();
  start_streams();

  auto* bass = new TB303;
  bass->toggle_power();  // off
  FSOUND_STREAM* stream = FSOUND_Stream_Create(watching_callback, 65536, 0x1000150, 44100,
                                               static_cast<INSTRUMENT*>(bass));
  // The channel after those of the rack.
  if (FSOUND_Stream_Play(instrument_count, stream) != instrument_count) return 1;

  const double frames_per_ns = 44100.0 / 1e9;
  std::vector<double> to_mix, to_output;
  std::mt19937 random(12345);
  std::uniform_int_distribution<int> pause_us(20000, 26000);
  for (int trial = 0; trial < trials; ++trial) {
    std::this_thread::sleep_for(std::chrono::microseconds(pause_us(random)));
    armed = trial;
    const int64_t edit = now_ns();
    bass->toggle_power();  // on
    while (seen.load() != trial) std::this_thread::sleep_for(std::chrono::microseconds(50));
    const double mixed =
        static_cast<double>(seen_at.load() - edit) * frames_per_ns + seen_offset.load();
    to_mix.push_back(mixed);
    to_output.push_back(mixed + nosound_lead_blocks * fsound_block_frames);
    bass->toggle_power();  // off again
  }
  FSOUND_Stream_Close(stream);
  delete bass;
  shut_down();
  std::printf("edit-to-output latency over %d edits, NoSound, blocks of %d frames:\n", trials,
              fsound_block_frames);
  std::printf("  to the mix:    median %6.1f  p99 %6.1f  max %6.1f frames\n",
              percentile(to_mix, 0.5), percentile(to_mix, 0.99), percentile(to_mix, 1.0));
  std::printf("  to the output: median %6.1f  p99 %6.1f  max %6.1f frames (%.2f ms)\n",
              percentile(to_output, 0.5), percentile(to_output, 0.99), percentile(to_output, 1.0),
              percentile(to_output, 1.0) / 44.1);
  return 0;
}
