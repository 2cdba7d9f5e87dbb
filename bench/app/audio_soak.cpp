// zem-audio-soak: late blocks of the "NoSound" output over a long run with the
// five instruments playing, every stage of their voice chains on, while
// another thread keeps stepping their parameters as a panel would.
//
// Usage: zem-audio-soak [seconds]   (default 300)
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <thread>

#include "fsound.h"
#include "startup.h"

namespace {
void switch_every_stage_on(INSTRUMENT& i) {
  if (!i.get_noise()) i.toggle_noise();
  if (!i.get_distortion()) i.toggle_distortion();
  if (!i.get_envelope()) i.toggle_envelope();
  if (!i.get_filter()) i.toggle_filter();
  if (!i.envelope_lfo->get_on()) i.envelope_lfo->toggle();
  if (!i.filter_lfo->get_on()) i.filter_lfo->toggle();
}

// One parameter step up or down, chosen at random; the steps come in pairs
// around their defaults so that the sound stays in a sensible range.
void step_a_parameter(INSTRUMENT& i, std::mt19937& random) {
  const bool up = random() % 2 == 0;
  switch (random() % 8) {
    case 0:
      up ? i.filter_level_up() : i.filter_level_down();
      break;
    case 1:
      up ? i.volume_up() : i.volume_down();
      break;
    case 2:
      up ? i.p1_up() : i.p1_down();
      break;
    case 3:
      up ? i.hicut_up() : i.hicut_down();
      break;
    case 4:
      up ? i.envelope_lfo->period_up() : i.envelope_lfo->period_down();
      break;
    case 5:
      up ? i.filter_lfo->amplitude_up() : i.filter_lfo->amplitude_down();
      break;
    case 6:
      up ? i.noise_setting_1_up() : i.noise_setting_1_down();
      break;
    default:
      up ? i.distortion_level_up() : i.distortion_level_down();
      break;
  }
}
}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 300;
  tempo = 133;
  if (!FSOUND_SetOutput(FSOUND_OUTPUT_NOSOUND) || !FSOUND_Init(44100, 32, 0)) return 1;
  build_instruments();
  for (INSTRUMENT* instrument : instrument_list) switch_every_stage_on(*instrument);
  create_streams();
  start_streams();

  std::atomic<bool> done{false};
  std::atomic<long> steps{0};
  std::thread editor([&] {
    std::mt19937 random(2024);
    while (!done.load()) {
      step_a_parameter(*instrument_list[random() % instrument_count], random);
      ++steps;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  });
  const auto start = std::chrono::steady_clock::now();
  std::this_thread::sleep_for(std::chrono::seconds(seconds));
  done = true;
  editor.join();
  const double elapsed =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%.1f s with every stage on, %ld parameter steps meanwhile\n", elapsed, steps.load());
  shut_down();
  return 0;
}
