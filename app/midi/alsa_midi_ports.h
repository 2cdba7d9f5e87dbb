#pragma once
// zem's MIDI ports on the ALSA sequencer, through RtMidi: a client named
// "zem" with the ports "midi_in" and "midi_out", for when no JACK server
// runs. The input arrives on RtMidi's own thread, which pushes channel
// messages to a midi_ring for the main loop and the clock's messages to the
// rack clock's input ring. A thread of our own sends the rack's clock. ALSA
// has no frame of the mix: both sides stamp and send by the mixer's next
// block, so the clock lands within about an output buffer of its frame.
#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "clock_rings.h"
#include "midi_message.h"

class RtMidiIn;
class RtMidiOut;

class alsa_midi_ports {
 public:
  alsa_midi_ports();
  ~alsa_midi_ports();
  alsa_midi_ports(const alsa_midi_ports&) = delete;
  alsa_midi_ports& operator=(const alsa_midi_ports&) = delete;

  // Main thread: opens both ports. False with the reason in a few words when
  // the sequencer cannot be reached (no /dev/snd/seq).
  bool open(std::string& reason);
  // Sends what is left of the clock out (the Stop owed at the end) and
  // closes the ports.
  void close();

  // RtMidi's input thread, through its callback.
  void take(const unsigned char* bytes, size_t size);

 private:
  void send_clock();

  clock_input_ring& clock_in_;
  clock_output_ring& clock_out_;
  midi_ring control_;
  std::unique_ptr<RtMidiIn> in_;
  std::unique_ptr<RtMidiOut> out_;
  std::thread sender_;
  std::atomic<bool> sending_{false};
};
