// The cost of the rack's clock per block beside the render of that block:
// the rack of five rendering one block of 128 frames, and the clock's work
// around one block alone, on its own clock with a tempo set and following a
// 140 BPM MIDI clock while sending the rack's clock out. Run together:
//   build/dev/bench/rack_clock_bench --benchmark_repetitions=10
//   --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "rack.h"
#include "rack_clock.h"

namespace {

// An endless 140 BPM clock, started at frame 0.
struct endless_clock : clock_message_source {
  uint64_t next = 0;
  bool started = false;
  bool take_before(uint64_t frame, clock_message& message) override {
    if (!started) {
      started = true;
      message = {0, clock_message_kind::start};
      return true;
    }
    if (next >= frame) return false;
    message = {next};
    next += next % 2 ? 787 : 788;
    return true;
  }
};

struct counting_sink : clock_out_sink {
  uint64_t events = 0;
  void send(const clock_out_event&) override { ++events; }
};

// The five rendering a block, listeners and all.
void block_render(benchmark::State& state, bool with_clock) {
  auto rack = std::make_unique<engine_rack>();
  rack_clock clock(rack->instruments());
  clock.set_bpm(133);
  if (with_clock) rack->listeners().add(&clock);
  std::vector<int16_t> block(2 * rack_block_frames);
  for (auto _ : state) {
    rack->render_mixed(block.data(), rack_block_frames);
    benchmark::DoNotOptimize(block.data());
  }
}

// The clock's work around a block, without the render.
void clock_alone(benchmark::State& state, bool following) {
  auto rack = std::make_unique<engine_rack>();
  rack_clock clock(rack->instruments());
  endless_clock midi;
  counting_sink out;
  clock.set_bpm(133);
  clock.set_clock_output(&out);
  if (following) {
    clock.set_clock_input(&midi);
    clock.set_sync(sync_source::midi_clock);
  }
  std::vector<int16_t> block(2 * rack_block_frames);
  uint64_t frame = 0;
  for (auto _ : state) {
    clock.before_block(frame, rack_block_frames);
    clock.after_block(frame, block.data(), rack_block_frames);
    frame += rack_block_frames;
  }
  benchmark::DoNotOptimize(out.events);
}

}  // namespace

BENCHMARK_CAPTURE(block_render, rack_alone, false);
BENCHMARK_CAPTURE(block_render, rack_with_its_clock, true);
BENCHMARK_CAPTURE(clock_alone, own_tempo, false);
BENCHMARK_CAPTURE(clock_alone, following_midi_clock, true);

BENCHMARK_MAIN();
