#pragma once
// Records the mix to a WAV file while the rack plays, whatever the output.
// It listens after every mixed block (block_listener.h): while a recording
// runs, the audio thread copies the block into a preallocated lock-free ring
// and goes on; a writer thread of the recording's own appends the blocks to
// the file. The audio thread never touches the file, and the header is
// rewritten after every block, so a killed program leaves a playable file.
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

#include "block_listener.h"
#include "spsc_ring.h"
#include "wav_writer.h"

class mix_recorder : public rack_block_listener {
 public:
  ~mix_recorder() override { stop(); }

  // Main thread. Creates the file and records from the next block on. False,
  // with the reason in `error`, when the file cannot be written.
  bool start(const std::string& path, uint32_t rate, std::string& error);
  // Main thread. Writes what was recorded up to now and closes the file.
  // Returns the frames in it.
  uint64_t stop();
  bool recording() const { return writer_.joinable(); }
  const std::string& path() const { return path_; }

  // Main thread: true once the file took no more frames (a full disk, a size
  // limit). The recording is over then: the file keeps what it took, and
  // `failure` says why in one line. stop() ends it.
  bool failed() const { return failed_.load(std::memory_order_acquire); }
  std::string failure() const;
  // Frames that did not fit in the ring because the writer fell behind;
  // they are missing from the file.
  uint64_t lost_frames() const { return lost_blocks_.load() * rack_block_frames; }

  // Audio thread.
  void before_block(uint64_t, int) override {}
  void after_block(uint64_t first_frame, int16_t* mixed, int frames) override;

 private:
  struct block {
    uint32_t recording;  // the number of the recording it belongs to
    int32_t frames;
    int16_t samples[rack_block_frames * 2];
  };
  // Three seconds of blocks: a disk that stalls that long still loses nothing.
  static constexpr size_t ring_blocks = 1024;

  void write_blocks(uint32_t recording);

  spsc_ring<block, ring_blocks> ring_;
  // The recording that the audio thread records into; 0 while none runs.
  std::atomic<uint32_t> recording_{0};
  // The recording that the audio thread saw at its last block.
  std::atomic<uint32_t> seen_{0};
  uint32_t last_recording_ = 0;
  std::atomic<uint64_t> lost_blocks_{0};
  std::atomic<bool> finish_{false};
  std::atomic<bool> failed_{false};
  std::string path_;
  wav_writer file_;  // the writer thread's while it runs
  std::thread writer_;
};
