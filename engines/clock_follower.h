#pragma once
// Follows an outside clock: from the frames of its pulses and transport
// messages to the rack's step boundaries, as a pure function of what it was
// given. Every 6th pulse begins a step; Start begins step 0 at the next
// pulse, Continue the song position at the next pulse, Stop halts, and a song
// position sets where the next Continue starts.
//
// Tempo: a tracking loop estimates the pulse period and the phase of the
// pulses. Its gains start as a straight-line fit through the pulses seen so
// far and settle after two beats, so a steady source locks within a few
// pulses and a jittery one is smoothed over about two beats. A source that
// changes tempo at a stroke is caught again at once; one that pauses keeps
// its grid, and while no pulse comes the last tempo holds.
//
// Steps: each boundary is placed at the predicted frame of its pulse, so the
// steps are as long as six pulses and stay locked to their phase, one step
// for every six pulses, never skipped or doubled. Decisions are made block by
// block from the messages played before the block (the caller gives no
// others), so that the live rack and an offline render agree: a step that
// begins at frame f depends only on messages played before the block that
// holds f. A run that begins on a pulse inside the previous block begins
// that far into its first step.
#include <array>
#include <cstdint>

#include "block_listener.h"
#include "clock_messages.h"
#include "rack_tempo.h"

// What the rack plays over one block, as the clock has it.
struct follow_plan {
  bool playing = false;     // the clock runs: the rack sounds
  bool rejoin = false;      // the song's position was set anew (Start, Continue,
                            // a song position while running): the rack takes it
  int64_t song_step = 0;    // the step playing at the block's first frame, from the song's start
  uint64_t step_began = 0;  // where that step began, at or before the block's first frame
  uint64_t step_ends = 0;   // where the next step begins, after the first frame: in
                            // this block when at most its end
};

class clock_follower {
 public:
  // No step is shorter than this: at most one boundary falls in any block.
  static constexpr int64_t shortest_step = 2 * rack_block_frames;

  // Takes one message; messages come in the order of their frames.
  void take(const clock_message& message);

  // The plan of the block [first_frame, first_frame + frames), from the
  // messages taken so far. Called for every block, in order.
  follow_plan plan(uint64_t first_frame, int frames);

  // The step length assumed until two pulses have come.
  void set_assumed_step(double frames) { assumed_period_ = frames / clock_pulses_per_step; }

  // The tempo for the screen: the clock's average over the last sixteen bars
  // (fewer while it has not played that long); 0 until two pulses have come.
  // A jittery clock's steps are followed pulse by pulse, but its tempo reads
  // steady only over a long stretch.
  double shown_bpm() const;

 private:
  int64_t track_pulse(double frame);
  void restart_tracking(double frame, double period);
  void on_pulse(uint64_t frame, int64_t periods);
  void note_shown_pulse(double frame);
  double period() const { return pulses_fitted_ >= 2 ? period_ : assumed_period_; }
  double predicted_frame(int64_t song_pulse) const;

  // Tempo tracking, over every pulse.
  double assumed_period_ = step_frames_of_bpm(rack_default_bpm) / clock_pulses_per_step;
  int pulses_fitted_ = 0;  // 0: no pulse yet
  double anchor_ = 0;      // the estimated frame of the last pulse
  double period_ = 0;      // the estimated frames between pulses
  double last_pulse_ = 0;
  // The pulses of the shown average: a ring of the latest, begun again where
  // the tracking is.
  static constexpr int shown_pulses = 16 * 16 * clock_pulses_per_step;
  std::array<double, shown_pulses> shown_ring_{};
  int shown_count_ = 0;
  int shown_newest_ = -1;
  int wild_pulses_ = 0;                       // pulses in a row far from their prediction
  std::array<double, 3> recent_intervals_{};  // the last three, for a new tempo
  int recent_next_ = 0;

  // The song: where the pulses are in it while it runs.
  bool running_ = false;
  bool waiting_ = false;         // Start, Continue or a new position takes effect at the next pulse
  int64_t next_song_pulse_ = 0;  // the song pulse that the next pulse is
  int64_t anchor_song_pulse_ = 0;
  bool rejoin_ = false;

  // The steps handed out.
  int64_t song_step_ = 0;
  uint64_t step_began_ = 0;
  bool step_ended_ = false;  // the last plan's block held the end of the step
  uint64_t step_end_ = 0;
};
