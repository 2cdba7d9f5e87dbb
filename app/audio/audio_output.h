#pragma once
// An opened output of the audio layer: a sound card through PortAudio, or the
// "NoSound" clock. Once started, it pulls the mixer on its own thread until it
// is stopped.
#include <cstdint>
#include <string>

class callback_timing;
class stream_mixer;

class audio_output {
 public:
  virtual ~audio_output() = default;
  // Opens the output and starts pulling `mixer` at `rate` frames per second,
  // recording how long each callback takes into `timing`. Returns
  // FSOUND_ERR_NONE or the error code that says why it failed.
  virtual int start(stream_mixer& mixer, int rate, callback_timing& timing) = 0;
  // Stops pulling; when it returns the mixer is no longer called.
  virtual void stop() = 0;
  // Blocks that reached the output late so far.
  virtual uint64_t late_blocks() const = 0;
  // Why the output's own recording stopped taking frames (a full disk, a
  // size limit), in one line; empty while it records or when it has none.
  virtual std::string recording_failure() const { return {}; }
  // Why the output stopped pulling by itself (its server went away), in one
  // line; empty while it plays.
  virtual std::string stop_reason() const { return {}; }
};
