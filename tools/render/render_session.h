#pragma once
// The instruments of one zem-render run, either a single engine or the rack
// of five, with the operations the command needs: address an instrument for
// --set, set the tempo, follow a clock, measure a pass, render a block, print
// the state. The rack renders with the program's rack clock among its block
// listeners, as the program plays it.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "clock_messages.h"
#include "instrument.h"
#include "rack.h"
#include "rack_clock.h"
#include "render_arguments.h"

class render_session {
 public:
  // Frames rendered per call of an engine's `render`.
  static constexpr int block_frames = 4096;

  explicit render_session(engine_kind engine);

  // In construction order.
  const std::vector<INSTRUMENT*>& instruments() const { return instruments_; }

  // Applies one --set; on failure `error` holds a one-line reason.
  bool apply(const field_assignment& assignment, std::string& error);

  // The tempo for every instrument, in BPM (20 to 300), from the first frame;
  // the rack's tempo, as set last or 120.
  void set_tempo(double bpm);
  double tempo() const { return clock_ ? clock_->bpm() : rack_default_bpm; }

  // The rack follows these clock messages, frames counted from the first
  // frame rendered: silent until the clock starts.
  void follow(std::vector<clock_message> messages);

  // The frames of one pass of the longest pattern: steps of
  // floor(samples_per_step) + 1 frames, as the step clock counts them.
  double pass_frames() const;

  // Renders `frames` (at most block_frames) stereo frames into `out`.
  void render_block(int16_t* out, int frames);

  // Each instrument's print_state, in construction order.
  void print_state() const;

 private:
  std::unique_ptr<INSTRUMENT> single_;
  std::unique_ptr<engine_rack> rack_;
  std::unique_ptr<rack_clock> clock_;
  std::unique_ptr<clock_message_list> clock_input_;
  std::vector<INSTRUMENT*> instruments_;
};

// Frames of one pass of this instrument (see render_session::pass_frames).
double pass_frames_of(const INSTRUMENT& instrument);
