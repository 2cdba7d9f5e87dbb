#pragma once
// The rack's clock: one tempo for the five instruments, start and stop, and
// the following of an outside clock. It is a block listener: everything it
// decides, it decides before a block, for all five at once, on the rendering
// thread, so that they change at the same frame and the live program and an
// offline render decide alike.
//
//   Tempo      the step length of the tempo set last, written to all five at
//              the next block. Until a tempo is set the instruments keep their
//              own (the default 5512.5 frames, 120 BPM), untouched.
//   Stop       the sound fades out over the next block; from the block after,
//              the five are halted: silent, their sequencers standing still.
//   Start      all five start from step 0 of their patterns at the next block
//              (a queued pattern takes over there). The program starts running.
//   Follow     with a MIDI clock (or JACK transport) as the sync source, the
//              rack plays only while that clock runs, and its steps begin
//              where the clock follower puts them: each instrument's step
//              length is set, block by block, to end its step at that frame.
//              Taking up a song (Start, Continue, a song position, switching
//              to the source, Start pressed here) starts all five at the
//              song's step, as far into it as the clock already is.
//   Clock out  the rack's timing goes, block by block, to a clock-out
//              schedule, whose events reach the MIDI output through a sink.
//
// Settings come from the main thread as relaxed atomics and are taken at the
// next block. The sinks, the message source and the members are given before
// the rack plays.
#include <array>
#include <atomic>
#include <cstdint>
#include <span>

#include "block_listener.h"
#include "clock_follower.h"
#include "clock_out.h"
#include "instrument.h"
#include "rack_members.h"
#include "session_image.h"

class rack_clock : public rack_block_listener {
 public:
  // The members in construction order. The first is the rack's reference for
  // where its steps begin.
  explicit rack_clock(std::span<INSTRUMENT* const, instrument_count> members);

  // ---- Settings (main thread), taken at the next block.
  void set_bpm(double bpm);  // kept inside 20 .. 300 BPM
  double bpm() const;        // the tempo set last, or 120
  void set_running(bool running);
  bool running_wanted() const { return wanted_.load(std::memory_order_relaxed); }
  void set_sync(sync_source source) { sync_.store(source, std::memory_order_relaxed); }
  sync_source sync() const { return sync_.load(std::memory_order_relaxed); }

  // ---- What the rendering thread last decided, for the screen.
  bool playing() const { return shown_playing_.load(std::memory_order_relaxed); }
  // The tempo the rack plays: the one set, or while following the clock's
  // estimate (0 until it has one).
  double heard_bpm() const { return shown_bpm_.load(std::memory_order_relaxed); }

  // ---- Wiring, before the rack plays.
  void set_clock_input(clock_message_source* source) { input_ = source; }
  void set_clock_output(clock_out_sink* sink) { output_ = sink; }
  // Once the rendering has ended for good (the output stopped): a rack that
  // was playing sends the receivers of its clock a Stop, at the frame after
  // the last block. The caller is then the sink's only producer.
  void send_final_stop();

  void before_block(uint64_t first_frame, int frames) override;
  void after_block(uint64_t first_frame, int16_t* mixed, int frames) override;

 private:
  void take_clock_messages(uint64_t before_frame);
  void start_at(int64_t song_step, uint64_t step_began, uint64_t first_frame);
  void halt();
  void apply_tempo();
  void aim_steps_at(uint64_t step_ends, uint64_t first_frame);
  void note_timing(uint64_t first_frame);

  std::array<INSTRUMENT*, instrument_count> members_{};

  // Settings.
  std::atomic<double> bpm_{0.0};  // 0: none set
  std::atomic<bool> wanted_{true};
  std::atomic<sync_source> sync_{sync_source::internal};
  // For the screen.
  std::atomic<bool> shown_playing_{true};
  std::atomic<double> shown_bpm_{rack_default_bpm};
  static_assert(std::atomic<double>::is_always_lock_free);
  static_assert(std::atomic<sync_source>::is_always_lock_free);

  // Rendering thread only.
  clock_message_source* input_ = nullptr;
  clock_out_sink* output_ = nullptr;
  clock_follower follower_;
  clock_out_schedule clock_out_;
  rack_block_timing timing_;
  bool playing_ = true;  // the program starts running
  bool any_block_ = false;
  bool was_following_ = false;
  bool fading_ = false;
  uint64_t fade_begins_ = 0;
  std::array<float, rack_block_frames> fade_{};
};
