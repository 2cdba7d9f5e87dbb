#pragma once
// A JACK client of its own, "zem-midi", for process hooks (zem's MIDI ports)
// when the sound does not go through JACK: its cycles run on the JACK
// server's clock, not on the sound's, so its hooks see no mix around them.
#include <jack/jack.h>

#include <string>

#include "jack_process_hooks.h"

class jack_midi_client {
 public:
  jack_midi_client() = default;
  ~jack_midi_client() { close(); }
  jack_midi_client(const jack_midi_client&) = delete;
  jack_midi_client& operator=(const jack_midi_client&) = delete;

  // Opens the client with `hook` (which must outlive it) and activates it.
  // False when no JACK server runs or the hook cannot run; `reason` then
  // says why in a few words.
  bool open(jack_process_hook& hook, std::string& reason);
  // Deactivates the client, lets the hook close and closes the client.
  void close();

 private:
  static int process(jack_nframes_t frames, void* self);

  jack_client_t* client_ = nullptr;
  jack_process_hook* hook_ = nullptr;
};
