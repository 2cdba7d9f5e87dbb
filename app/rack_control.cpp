#include "rack_control.h"

#include <atomic>
#include <cmath>
#include <cstdio>
#include <memory>

#include "fsound.h"
#include "rack_tempo.h"
#include "startup.h"
#include "tap_tempo.h"

namespace {
struct program_clock {
  std::unique_ptr<rack_clock> clock;
  clock_input_ring input;
  clock_output_ring output;
  tap_tempo taps;
  // The clock once it is made, for threads other than the main one.
  std::atomic<const rack_clock*> published{nullptr};
};

program_clock& program() {
  static program_clock state;
  return state;
}

double to_tenths(double bpm) {
  return std::round(bpm * 10.0) / 10.0;
}

bool following() {
  return program_rack_clock().sync() != sync_source::internal;
}
}  // namespace

void start_rack_clock(sync_source sync) {
  program_clock& state = program();
  // Once only: the audio layer keeps its listeners for the process's life.
  if (state.clock) return state.clock->set_sync(sync);
  // The clock's members in construction order: the first is its reference.
  std::array<INSTRUMENT*, instrument_count> members{};
  for (int row = 0; row < instrument_count; ++row)
    members[row] = instrument_list[rack_members[row].list_index];
  state.clock = std::make_unique<rack_clock>(members);
  state.clock->set_sync(sync);
  state.clock->set_clock_input(&state.input);
  state.clock->set_clock_output(&state.output);
  fsound_block_listeners().add(state.clock.get());
  state.published.store(state.clock.get(), std::memory_order_release);
}

sync_source program_sync_source() {
  const rack_clock* clock = program().published.load(std::memory_order_acquire);
  return clock != nullptr ? clock->sync() : sync_source::internal;
}

double program_rack_bpm() {
  const rack_clock* clock = program().published.load(std::memory_order_acquire);
  return clock != nullptr ? clock->bpm() : rack_default_bpm;
}

bool rack_clock_started() {
  return program().clock != nullptr;
}
rack_clock& program_rack_clock() {
  return *program().clock;
}
clock_input_ring& program_clock_input() {
  return program().input;
}
clock_output_ring& program_clock_output() {
  return program().output;
}

void end_rack_clock() {
  if (rack_clock_started()) program_rack_clock().send_final_stop();
}

sync_source sync_source_named(const std::string& name) {
  if (name == "midi") return sync_source::midi_clock;
  if (name == "jack") return sync_source::jack_transport;
  return sync_source::internal;
}

void change_rack_tempo(double by_bpm) {
  if (following()) return;
  rack_clock& clock = program_rack_clock();
  clock.set_bpm(to_tenths(clock.bpm() + by_bpm));
}

void tap_rack_tempo(double seconds) {
  const std::optional<double> tapped = program().taps.tap(seconds);
  if (tapped && !following()) program_rack_clock().set_bpm(to_tenths(*tapped));
}

void toggle_rack_running() {
  rack_clock& clock = program_rack_clock();
  clock.set_running(!clock.running_wanted());
}

void cycle_sync_source() {
  rack_clock& clock = program_rack_clock();
  switch (clock.sync()) {
    case sync_source::internal:
      clock.set_sync(sync_source::midi_clock);
      break;
    case sync_source::midi_clock:
      clock.set_sync(sync_source::jack_transport);
      break;
    case sync_source::jack_transport:
      if (clock.heard_bpm() > 0.0) clock.set_bpm(to_tenths(clock.heard_bpm()));
      clock.set_sync(sync_source::internal);
      break;
  }
}

// Playing on its own clock, the rack shows what was asked of it at once; a
// followed clock shows what the rendering thread last heard.
std::string rack_tempo_text() {
  const rack_clock& clock = program_rack_clock();
  const double bpm = following() ? clock.heard_bpm() : clock.bpm();
  const bool playing = following() ? clock.playing() : clock.running_wanted();
  char text[48];
  if (bpm > 0.0)
    std::snprintf(text, sizeof text, "%.1f BPM", bpm);
  else
    std::snprintf(text, sizeof text, "--- BPM");
  return std::string(text) + (playing ? "" : ", stopped");
}

std::string sync_source_text() {
  switch (program_rack_clock().sync()) {
    case sync_source::midi_clock:
      return "MIDI clock";
    case sync_source::jack_transport:
      return "JACK transport";
    case sync_source::internal:
      break;
  }
  return "internal clock";
}
