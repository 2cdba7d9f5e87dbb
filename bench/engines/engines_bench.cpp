// Speed of the engines' render, as a multiple of real time (44100 frames a
// second) on one core: with the defaults, with every stage of the voice chain
// on, and for the rack of five instruments mixed.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "rack.h"

namespace {

constexpr int block_frames = 1024;

// Drums play all 8 steps of their pattern, so that every frame sounds.
void all_steps_on(TB808& drum) {
  for (int step = 0; step < 8; ++step) drum.pattern_memory[0][step] = 1;
}

// Noise (where the engine has it), distortion, both LFOs, envelope and filter.
void every_stage_on(INSTRUMENT& instrument) {
  instrument.noise_switch = 1;
  instrument.distortion_switch = 1;
  instrument.envelope_lfo->on = 1;
  instrument.filter_lfo->on = 1;
  instrument.envelope_switch = 1;
  instrument.filter_switch = 1;
}

void report_realtime(benchmark::State& state, int64_t frames_per_iteration) {
  state.counters["x_realtime"] =
      benchmark::Counter(double(frames_per_iteration) * double(state.iterations()) / 44100.0,
                         benchmark::Counter::kIsRate);
}

template <typename E>
void render_engine(benchmark::State& state, bool all_stages) {
  auto engine = std::make_unique<E>();
  if constexpr (std::is_same_v<E, TB808>) all_steps_on(*engine);
  if (all_stages) every_stage_on(*engine);
  std::vector<int16_t> block(2 * block_frames);
  for (auto _ : state) {
    engine->render(nullptr, block.data(), block_frames * 4, nullptr);
    benchmark::DoNotOptimize(block.data());
  }
  report_realtime(state, block_frames);
}

void render_rack(benchmark::State& state, bool all_stages) {
  auto rack = std::make_unique<engine_rack>();
  all_steps_on(rack->first_drum());
  all_steps_on(rack->second_drum());
  if (all_stages)
    for (INSTRUMENT* instrument : rack->instruments()) every_stage_on(*instrument);
  std::vector<int16_t> block(2 * block_frames);
  for (auto _ : state) {
    rack->render_mixed(block.data(), block_frames);
    benchmark::DoNotOptimize(block.data());
  }
  report_realtime(state, block_frames);
}

}  // namespace

void tb303(benchmark::State& state, bool all_stages) {
  render_engine<TB303>(state, all_stages);
}
void tb808(benchmark::State& state, bool all_stages) {
  render_engine<TB808>(state, all_stages);
}
void osc(benchmark::State& state, bool all_stages) {
  render_engine<OSC>(state, all_stages);
}

BENCHMARK_CAPTURE(tb303, defaults, false);
BENCHMARK_CAPTURE(tb303, every_stage, true);
BENCHMARK_CAPTURE(tb808, defaults, false);
BENCHMARK_CAPTURE(tb808, every_stage, true);
BENCHMARK_CAPTURE(osc, defaults, false);
BENCHMARK_CAPTURE(osc, every_stage, true);
BENCHMARK_CAPTURE(render_rack, defaults, false);
BENCHMARK_CAPTURE(render_rack, every_stage, true);

BENCHMARK_MAIN();
