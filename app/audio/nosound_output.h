#pragma once
// The "NoSound" output: no device, but the streams are still pulled at the
// real-time rate on a thread of our own, so that sequencers and step events run
// as they would with a sound card. The mixed sound is discarded, or recorded to
// a WAV file.
#include <atomic>
#include <string>
#include <thread>

#include "audio_output.h"
#include "wav_writer.h"

// How many blocks the "NoSound" clock mixes ahead of the block that plays: a
// block is mixed this many block periods (17 ms) before it is due, which leaves
// room for the thread waking up late on a busy machine; virtual machines
// sometimes hold a waiting thread back for well over 10 ms. An edit is heard
// at most (1 + nosound_lead_blocks) blocks (896 frames, 20 ms) after it is made.
constexpr int nosound_lead_blocks = 6;

class nosound_output : public audio_output {
 public:
  // An empty `recording_path` discards the sound.
  explicit nosound_output(std::string recording_path)
      : recording_path_(std::move(recording_path)) {}
  ~nosound_output() override { stop(); }

  int start(stream_mixer& mixer, int rate, callback_timing& timing) override;
  void stop() override;
  uint64_t late_blocks() const override { return late_.load(std::memory_order_relaxed); }
  std::string recording_failure() const override;

 private:
  void run(stream_mixer& mixer, int rate, callback_timing& timing);

  std::string recording_path_;
  wav_writer recorder_;
  std::thread thread_;
  std::atomic<bool> stopping_{false};
  std::atomic<uint64_t> late_{0};
  // Set by the thread once the recorder refused a block; it does not touch
  // the recorder again after that.
  std::atomic<bool> recording_failed_{false};
};
