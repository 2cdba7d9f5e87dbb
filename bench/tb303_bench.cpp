// Speed of the bass-line `render`: how many times faster than real time one
// TB303 fills its stream, with the default voice chain and with every stage on.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "step_events.h"
#include "tb303.h"

namespace {
constexpr int frames_per_buffer = 1024;

void render_buffers(benchmark::State& state, TB303& engine) {
  set_step_event_poster(nullptr);
  std::vector<int16_t> buffer(2 * frames_per_buffer);
  for (auto _ : state) {
    engine.render(nullptr, buffer.data(), frames_per_buffer * 4, nullptr);
    benchmark::DoNotOptimize(buffer.data());
  }
  // Seconds of sound made per second of work.
  state.counters["x_real_time"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * frames_per_buffer / sample_rate,
                         benchmark::Counter::kIsRate);
}

void BM_TB303DefaultChain(benchmark::State& state) {
  auto engine = std::make_unique<TB303>();
  render_buffers(state, *engine);
}
BENCHMARK(BM_TB303DefaultChain);

void BM_TB303EveryStageOn(benchmark::State& state) {
  auto engine = std::make_unique<TB303>();
  engine->noise_switch = 1;
  engine->distortion_switch = 1;
  engine->filter_switch = 1;
  engine->envelope_lfo->on = 1;
  engine->filter_lfo->on = 1;
  render_buffers(state, *engine);
}
BENCHMARK(BM_TB303EveryStageOn);
}  // namespace

BENCHMARK_MAIN();
