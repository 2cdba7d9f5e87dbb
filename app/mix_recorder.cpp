#include "mix_recorder.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <system_error>

namespace {
// How often the writer looks at the ring: a small part of what it holds.
constexpr auto writer_pause = std::chrono::milliseconds(5);
}  // namespace

bool mix_recorder::start(const std::string& path, uint32_t rate, std::string& error) {
  stop();
  if (!file_.open(path, rate, wav_writer::placement::in_place)) {
    error = file_.error();
    return false;
  }
  path_ = path;
  lost_blocks_.store(0);
  failed_.store(false);
  finish_.store(false);
  if (++last_recording_ == 0) ++last_recording_;  // 0 means "none"
  const uint32_t recording = last_recording_;
  try {
    writer_ = std::thread([this, recording] { write_blocks(recording); });
  } catch (const std::system_error& e) {
    file_.close();
    error = std::string("cannot start the recording: ") + e.what();
    return false;
  }
  recording_.store(recording, std::memory_order_release);
  return true;
}

uint64_t mix_recorder::stop() {
  if (!writer_.joinable()) return 0;
  const uint32_t recording = recording_.exchange(0, std::memory_order_acq_rel);
  // A block that the audio thread began before the exchange may still be on
  // its way into the ring: wait for the next block. When the output has
  // stopped no block comes, and none is on its way.
  for (int i = 0; i < 100 && seen_.load(std::memory_order_acquire) == recording; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  finish_.store(true, std::memory_order_release);
  writer_.join();
  const uint64_t frames = file_.frames();
  file_.close();
  return frames;
}

std::string mix_recorder::failure() const {
  // The writer touches the file no more once it has failed.
  return failed() ? file_.error() : std::string();
}

void mix_recorder::after_block(uint64_t, int16_t* mixed, int frames) {
  const uint32_t recording = recording_.load(std::memory_order_acquire);
  if (recording != 0 && frames > 0) {
    block b;
    b.recording = recording;
    b.frames = std::min(frames, rack_block_frames);
    std::memcpy(b.samples, mixed, sizeof(int16_t) * 2 * static_cast<size_t>(b.frames));
    if (!ring_.push(b)) lost_blocks_.fetch_add(1, std::memory_order_relaxed);
  }
  seen_.store(recording, std::memory_order_release);
}

// The writer thread: appends the blocks of its recording as they come, and
// those of an earlier recording that were late are dropped. Once told to
// finish, it writes what is left and ends.
void mix_recorder::write_blocks(uint32_t recording) {
  block b;
  for (;;) {
    const bool finishing = finish_.load(std::memory_order_acquire);
    while (ring_.pop(b)) {
      if (b.recording != recording || failed_.load(std::memory_order_relaxed)) continue;
      if (!file_.append(b.samples, static_cast<size_t>(b.frames)))
        failed_.store(true, std::memory_order_release);
    }
    if (finishing) return;
    std::this_thread::sleep_for(writer_pause);
  }
}
