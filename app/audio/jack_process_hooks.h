#pragma once
// Work that runs in zem's JACK client beside the sound: MIDI ports, the
// transport, a clock that must land on exact frames. A hook joins the same
// client ("zem") and runs in the same process callback as the mix, before
// and after it, so it sees the cycle that the sound is made in.
#include <jack/jack.h>

class jack_process_hook {
 public:
  virtual ~jack_process_hook() = default;
  // Main thread: the client is open and not yet active. Register ports and
  // set callbacks here; false when the hook cannot run (the client plays on
  // without it, and client_closing is not called for it).
  virtual bool client_opened(jack_client_t* client) = 0;
  // Process thread, once per cycle of `frames` frames, before the mixer is
  // pulled and after its frames are in the output ports. Like the mix, a
  // hook neither allocates, locks, prints nor waits.
  virtual void before_mix(jack_nframes_t frames) = 0;
  virtual void after_mix(jack_nframes_t frames) = 0;
  // Main thread: the client is deactivated and about to close.
  virtual void client_closing(jack_client_t* client) = 0;
};

constexpr int jack_process_hook_capacity = 8;

// The hooks of zem's JACK client, in the order they were added. Add and
// remove them on the main thread while the JACK output is not running
// (before FSOUND_Init, after FSOUND_Close). False when the list is full.
bool add_jack_process_hook(jack_process_hook* hook);
void remove_jack_process_hook(jack_process_hook* hook);
// The hooks added, in order; nullptr for an empty place.
jack_process_hook* jack_process_hook_at(int place);
