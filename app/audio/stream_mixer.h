#pragma once
// The mixing core of the audio layer: up to 64 playing streams, pulled one
// block at a time through their callbacks and summed with saturation.
//
// The main thread attaches and detaches streams; the audio thread calls `fill`.
// No lock: each channel is an atomic pointer, and an epoch counter that is odd
// while a block is being mixed lets `detach` wait until the audio thread can no
// longer be using a stream.
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "block_listener.h"
#include "fsound.h"

struct FSOUND_STREAM {
  FSOUND_STREAMCALLBACK callback = nullptr;
  void* user = nullptr;
  int channel = -1;  // the channel it plays on; -1 while stopped (main thread only)
  int16_t block[fsound_block_frames * 2] = {};  // written on the audio thread only
};

class stream_mixer {
 public:
  static constexpr int max_channels = 64;

  // Main thread. Starts pulling `stream` on `channel`; false if another stream
  // plays there.
  bool attach(int channel, FSOUND_STREAM* stream);
  // Main thread. Stops pulling the stream; on return its callback is not
  // running and will not be called again.
  void detach(FSOUND_STREAM* stream);
  bool channel_taken(int channel) const;
  // Main thread, while no output pulls the mixer: forgets the frames left over
  // from the last block, so that a new output starts with a fresh block at
  // frame 0.
  void drop_leftover() {
    mixed_used_ = fsound_block_frames;
    next_block_frame_ = 0;
  }

  // Audio thread. Writes `frames` stereo frames of the mixed streams to `out`.
  // Streams are pulled in whole blocks; frames left over from a block are
  // handed out first at the next call.
  void fill(int16_t* out, size_t frames);

  // Frames handed to the output so far (any thread).
  uint64_t frames_out() const { return frames_out_.load(std::memory_order_relaxed); }

  // Audio thread, between two fills: the rack frame (as the listeners count
  // them) of the next frame that `fill` hands out. An event at offset k of
  // the period about to be filled (a MIDI message) plays at rack frame
  // next_rack_frame() + k. Silence handed out before the rack's first block
  // counts as frame 0.
  uint64_t next_rack_frame() const;
  // Any thread: the rack frame of the next block to be mixed. A reader on
  // another clock than the output's (a MIDI client of its own) stamps with
  // it, a block or an output buffer away from the frames being heard.
  uint64_t rack_frame_estimate() const {
    return rack_frame_estimate_.load(std::memory_order_relaxed);
  }

  // Main thread. While held, the mixer hands out silence and pulls no
  // stream, so that streams attached meanwhile all begin in the same block
  // once released. `hold` returns when no block is being mixed.
  void hold();
  void release();

  // Called around every mixed block, on the audio thread (block_listener.h),
  // except while held. Frames count from the first block mixed, or from the
  // first block after the last release.
  block_listener_list& listeners() { return listeners_; }

 private:
  void mix_block();
  // Main thread: returns once the block being mixed, if any, is over.
  void wait_for_block_end();

  std::array<std::atomic<FSOUND_STREAM*>, max_channels> channels_{};
  std::atomic<uint64_t> epoch_{0};
  std::atomic<uint64_t> frames_out_{0};
  std::atomic<bool> held_{false};
  std::atomic<bool> count_afresh_{false};  // set by release, taken by the next block
  std::atomic<uint64_t> rack_frame_estimate_{0};
  block_listener_list listeners_;
  // Audio thread only.
  int16_t mixed_[fsound_block_frames * 2] = {};
  size_t mixed_used_ = fsound_block_frames;  // frames of mixed_ already handed out
  uint64_t next_block_frame_ = 0;            // the first frame of the next block
  bool block_counted_ = false;               // mixed_ is a rack block, not held silence
};
