#pragma once
// The messages of an outside clock that the rack follows (a MIDI clock, or
// JACK transport turned into the same messages), each stamped with the rack
// frame at which it was played: frames count as block_listener.h counts
// them, from the first block in which the five instruments play.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

enum class clock_message_kind : uint8_t {
  pulse,          // 0xF8: 24 a quarter note, 6 a step
  start,          // 0xFA: from the song's start, at the next pulse
  resume,         // 0xFB (Continue): from the song position, at the next pulse
  stop,           // 0xFC
  song_position,  // 0xF2: where the next Continue starts, in sixteenth notes (steps)
};

struct clock_message {
  uint64_t frame = 0;
  clock_message_kind kind = clock_message_kind::pulse;
  uint16_t song_position = 0;  // for song_position: 0 .. 16383 steps
};

// Reads one MIDI message (status byte first, the two data bytes of a song
// position after it) played at `frame`. False for any other message, which
// the clock does not concern.
bool read_midi_clock_message(std::span<const uint8_t> bytes, uint64_t frame,
                             clock_message& message);

// Where the rack takes the clock's messages from, on the rendering thread,
// before every block. Live, the MIDI input puts them in a ring as they come;
// offline, they are a list known in advance. Either way the rack takes only
// those played before the block, so that both make the same decisions.
class clock_message_source {
 public:
  virtual ~clock_message_source() = default;
  // The next message, when it was played before `frame`; messages come in
  // the order of their frames.
  virtual bool take_before(uint64_t frame, clock_message& message) = 0;
};

// Messages known in advance (zem-render --clock, tests), in frame order.
class clock_message_list : public clock_message_source {
 public:
  explicit clock_message_list(std::vector<clock_message> messages)
      : messages_(std::move(messages)) {}
  bool take_before(uint64_t frame, clock_message& message) override;

 private:
  std::vector<clock_message> messages_;
  size_t next_ = 0;
};
