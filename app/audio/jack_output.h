#pragma once
// The JACK output: a client of its own, named "zem", with two audio ports,
// out_0 and out_1, connected to the first two playback ports of the chosen
// client ("system"). JACK's process thread pulls the mixer once per cycle,
// in its real-time thread when the server runs in real-time mode, and runs
// the client's process hooks (jack_process_hooks.h) around the mix.
#include <jack/jack.h>

#include <array>
#include <atomic>
#include <string>
#include <vector>

#include "audio_output.h"
#include "jack_process_hooks.h"

class callback_timing;

class jack_output : public audio_output {
 public:
  // Plays through the physical playback ports of `playback_client`.
  explicit jack_output(std::string playback_client)
      : playback_client_(std::move(playback_client)) {}
  ~jack_output() override { stop(); }

  int start(stream_mixer& mixer, int rate, callback_timing& timing) override;
  void stop() override;
  // The cycles that the server reported missed while the client ran.
  uint64_t late_blocks() const override { return late_.load(std::memory_order_relaxed); }
  std::string stop_reason() const override;

 private:
  static int process(jack_nframes_t frames, void* self);
  void fill_ports(jack_nframes_t frames);
  int open_client(int rate);
  void close_client();

  std::string playback_client_;
  jack_client_t* client_ = nullptr;
  std::array<jack_port_t*, 2> ports_{};
  // The hooks whose client_opened succeeded; fixed while the client is active.
  std::array<jack_process_hook*, jack_process_hook_capacity> hooks_{};
  int hook_count_ = 0;
  stream_mixer* mixer_ = nullptr;
  callback_timing* timing_ = nullptr;
  std::atomic<uint64_t> late_{0};
  // Written by JACK's thread when the server shuts the client down, then
  // published by `server_gone_`.
  char shutdown_reason_[256] = {};
  std::atomic<bool> server_gone_{false};
};

// The clients that own physical playback ports, in the server's order ("system"
// with the usual backends); empty when no JACK server runs.
std::vector<std::string> list_jack_playback_clients();
