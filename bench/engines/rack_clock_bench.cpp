// The rack clock's work per block beside the render of that block, in one
// run: the rack rendering a block of 128 frames, alone and with its clock
// following a 140 BPM MIDI clock and sending the rack's clock out, and that
// clock's work alone.
#include <benchmark/benchmark.h>

#include "rack.h"
#include "rack_clock.h"

// An endless 140 BPM clock from frame 0, and a MIDI output that drops all.
struct endless_clock : clock_message_source, clock_out_sink {
  uint64_t next = 0;
  bool take_before(uint64_t frame, clock_message& message) override {
    message = {next, next == 0 ? clock_message_kind::start : clock_message_kind::pulse};
    next += next < frame ? (next % 2 ? 787 : 788) : 0;
    return message.frame < frame;
  }
  void send(const clock_out_event& event) override { benchmark::DoNotOptimize(event); }
};

void rack_block(benchmark::State& state, bool clock_on, bool render) {
  engine_rack rack;
  rack_clock clock(rack.instruments());
  endless_clock midi;
  clock.set_clock_input(&midi);
  clock.set_clock_output(&midi);
  clock.set_sync(sync_source::midi_clock);
  if (clock_on) rack.listeners().add(&clock);
  int16_t block[2 * rack_block_frames] = {};
  for (uint64_t frame = 0; auto _ : state) {
    if (render) rack.render_mixed(block, rack_block_frames);
    if (!render) clock.before_block(frame += rack_block_frames, rack_block_frames);
    benchmark::DoNotOptimize(block);
  }
}
BENCHMARK_CAPTURE(rack_block, render_alone, false, true);
BENCHMARK_CAPTURE(rack_block, render_with_clock_following, true, true);
BENCHMARK_CAPTURE(rack_block, clock_alone_following, true, false);
BENCHMARK_MAIN();
