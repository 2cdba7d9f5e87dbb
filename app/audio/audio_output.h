#pragma once
// An opened output of the audio layer: a sound card through PortAudio, or the
// "NoSound" clock. Once started, it pulls the mixer on its own thread until it
// is stopped.
#include <cstdint>

class stream_mixer;

class audio_output {
 public:
  virtual ~audio_output() = default;
  // Opens the output and starts pulling `mixer` at `rate` frames per second.
  // Returns FSOUND_ERR_NONE or the error code that says why it failed.
  virtual int start(stream_mixer& mixer, int rate) = 0;
  // Stops pulling; when it returns the mixer is no longer called.
  virtual void stop() = 0;
  // Blocks that reached the output late so far.
  virtual uint64_t late_blocks() const = 0;
};
