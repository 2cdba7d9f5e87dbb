#pragma once
// The rings between the rack's clock (rack_clock.h, on the rendering thread)
// and the MIDI ports: the clock messages that come in, and the clock that
// goes out. Each has one producer and one consumer; neither side allocates
// or waits, and a full ring refuses and counts (dropped()).
//
// In: the MIDI input (the JACK process callback, or the thread of an ALSA
// port) pushes each clock message with the rack frame at which it was
// played, in frame order; the rack's clock takes, before each block, those
// played before it. Rack frames count as the block listeners count them,
// from the first block the five play. A JACK process callback that is about
// to fill a period takes F = stream_mixer::next_rack_frame(), stamps an
// event at offset k with F + k and pushes it before the mixer fills the
// period; the rack's clock then decides exactly as an offline render of the
// same messages does (zem-render --clock).
//
// Out: the rack's clock pushes (frame, byte) events in frame order as it
// plans each block, at or ahead of the frames being handed out; after
// filling the period that began at rack frame F, the MIDI output takes those
// due before F + n and sends each at offset frame - F (jack_midi_event_write),
// holding back the later ones.
#include "clock_messages.h"
#include "clock_out.h"
#include "spsc_ring.h"

// A ring of frame-stamped items whose consumer takes only those due before a
// frame, holding back the first one that is not.
template <typename T, size_t Capacity>
class frame_ring {
 public:
  bool push(const T& item) { return ring_.push(item); }
  uint64_t dropped() const { return ring_.dropped(); }

  bool take_before(uint64_t frame, T& item) {
    if (!holding_ && !ring_.pop(held_)) return false;
    holding_ = true;
    if (held_.frame >= frame) return false;
    item = held_;
    holding_ = false;
    return true;
  }

 private:
  spsc_ring<T, Capacity> ring_;
  T held_{};  // popped, not yet due (consumer's side)
  bool holding_ = false;
};

class clock_input_ring : public clock_message_source {
 public:
  // The MIDI input's side.
  bool push(const clock_message& message) { return ring_.push(message); }
  uint64_t dropped() const { return ring_.dropped(); }
  // The rack clock's side.
  bool take_before(uint64_t frame, clock_message& message) override {
    return ring_.take_before(frame, message);
  }

 private:
  frame_ring<clock_message, 1024> ring_;
};

class clock_output_ring : public clock_out_sink {
 public:
  // The rack clock's side.
  void send(const clock_out_event& event) override { ring_.push(event); }
  // The MIDI output's side: the next event due before `frame`.
  bool take_before(uint64_t frame, clock_out_event& event) {
    return ring_.take_before(frame, event);
  }
  uint64_t dropped() const { return ring_.dropped(); }

 private:
  frame_ring<clock_out_event, 1024> ring_;
};
