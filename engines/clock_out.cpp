#include "clock_out.h"

#include <algorithm>

#include "rack_tempo.h"

// Pulse n of the step, n = 0 .. 5, at the nearest frame to n sixths of it.
uint64_t clock_out_schedule::pulse_frame(int pulse) const {
  constexpr int64_t parts = clock_pulses_per_step;
  return step_began_ + static_cast<uint64_t>((pulse * step_frames_ + parts / 2) / parts);
}

// A step taken up at `first_frame`, perhaps after it began: of the pulses due
// before then only the last is sent, late, as the one the receiver counts
// from (a run that begins on a clock's pulse, inside the block before).
void clock_out_schedule::begin_step(uint64_t began, uint64_t first_frame) {
  step_began_ = began;
  int due = 0;
  while (due < clock_pulses_per_step && pulse_frame(due) < first_frame) ++due;
  pulses_sent_ = std::max(0, due - 1);
}

void clock_out_schedule::plan(const rack_block_timing& timing, clock_out_sink& sink) {
  using change = rack_block_timing::change;
  const uint64_t first = timing.first_frame;
  const uint64_t end = first + static_cast<uint64_t>(std::max(0, timing.frames));
  const auto owe_the_rest = [&](uint64_t at) {
    for (; pulses_sent_ < clock_pulses_per_step; ++pulses_sent_) sink.send({at, midi_clock_byte});
  };
  if (timing.transport == change::stop && playing_) {
    sink.send({first, midi_stop_byte});
    playing_ = false;
  }
  if (!timing.playing) return;
  step_frames_ = std::max<int64_t>(1, timing.step_frames);
  if (!playing_ || timing.transport == change::start || timing.transport == change::resume) {
    const bool resumes = timing.transport == change::resume;
    sink.send({first, resumes ? midi_continue_byte : midi_start_byte});
    playing_ = true;
    begin_step(timing.step_began, first);
  } else if (timing.step_began != step_began_) {
    // A step that began where the last block could not see it: at this
    // block's first frame, or moved by a pattern load.
    owe_the_rest(first);
    begin_step(timing.step_began, first);
  }
  for (;;) {
    const uint64_t boundary = step_began_ + static_cast<uint64_t>(step_frames_);
    const uint64_t until = std::min(boundary, end);
    for (; pulses_sent_ < clock_pulses_per_step; ++pulses_sent_) {
      const uint64_t frame = std::max(pulse_frame(pulses_sent_), first);
      if (frame >= until) break;
      sink.send({frame, midi_clock_byte});
    }
    if (boundary >= end) break;
    owe_the_rest(boundary);
    step_began_ = boundary;
    pulses_sent_ = 0;
  }
}
