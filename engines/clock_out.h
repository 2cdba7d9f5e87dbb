#pragma once
// The MIDI clock that the rack sends: 24 pulses a quarter note, 6 a step,
// the first of each step at the frame where the step begins and the others
// spread evenly over it; Start when the rack starts from the song's start
// (at the program's start too), Continue when it takes up a clock's song
// elsewhere, Stop when it stops. A pure function from the rack's timing,
// block by block, to (frame, byte) events; the MIDI output sends each at its
// frame.
#include <cstdint>

constexpr uint8_t midi_clock_byte = 0xF8;
constexpr uint8_t midi_start_byte = 0xFA;
constexpr uint8_t midi_continue_byte = 0xFB;
constexpr uint8_t midi_stop_byte = 0xFC;

struct clock_out_event {
  uint64_t frame = 0;  // rack frame, as block_listener.h counts them
  uint8_t byte = 0;
};

// Takes the events, on the rendering thread: it must neither allocate nor wait.
class clock_out_sink {
 public:
  virtual ~clock_out_sink() = default;
  virtual void send(const clock_out_event& event) = 0;
};

// The rack's timing over one block, as rack_clock decided it.
struct rack_block_timing {
  enum class change { none, start, resume, stop };

  uint64_t first_frame = 0;
  int frames = 0;
  change transport = change::none;  // at the block's first frame
  bool playing = false;             // the sequencers run in this block
  uint64_t step_began = 0;          // the playing step's first frame (at or before first_frame)
  int64_t step_frames = 0;          // its length; the next step, when it begins inside
                                    // the block, is taken to be as long
};

class clock_out_schedule {
 public:
  // The events of one block, in frame order, all inside the block.
  void plan(const rack_block_timing& timing, clock_out_sink& sink);

  // True after a Start or Continue that no Stop has followed: a Stop is owed
  // when the program ends.
  bool playing() const { return playing_; }

 private:
  uint64_t pulse_frame(int pulse) const;
  void begin_step(uint64_t began, uint64_t first_frame);

  bool playing_ = false;
  uint64_t step_began_ = 0;
  int64_t step_frames_ = 1;
  int pulses_sent_ = 0;  // of the current step
};
