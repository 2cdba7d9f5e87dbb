#pragma once
// A sound card output through PortAudio: 16-bit stereo at the mix rate, the
// device's low default latency, and PortAudio's callback thread pulling the
// mixer.
#include <atomic>

#include "audio_output.h"

class portaudio_output : public audio_output {
 public:
  explicit portaudio_output(int device) : device_(device) {}
  ~portaudio_output() override { stop(); }

  int start(stream_mixer& mixer, int rate, callback_timing& timing) override;
  void stop() override;
  uint64_t late_blocks() const override { return late_.load(std::memory_order_relaxed); }

  // Audio thread: fills one PortAudio buffer; `underflow` when the device ran
  // dry before it.
  void pull(void* output, unsigned long frames, bool underflow);

 private:
  int device_;
  void* stream_ = nullptr;  // the PortAudio stream
  stream_mixer* mixer_ = nullptr;
  callback_timing* timing_ = nullptr;
  std::atomic<uint64_t> late_{0};
};
