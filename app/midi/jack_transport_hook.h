#pragma once
// JACK transport as the rack's clock (the sync source "jack"): a process
// hook of zem's JACK client that reads the transport at each cycle's start
// and, while the rack follows it, turns it into clock messages at the exact
// rack frames of the cycle, for the rack clock's input ring.
#include "jack_process_hooks.h"
#include "transport_clock.h"

class clock_input_ring;

class jack_transport_hook : public jack_process_hook {
 public:
  jack_transport_hook();

  bool client_opened(jack_client_t* client) override;
  void before_mix(jack_nframes_t frames) override;
  void after_mix(jack_nframes_t) override {}
  void client_closing(jack_client_t*) override { client_ = nullptr; }

 private:
  clock_input_ring& clock_in_;
  jack_client_t* client_ = nullptr;
  transport_clock clock_;
};
