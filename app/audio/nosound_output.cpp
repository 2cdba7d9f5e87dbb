#include "nosound_output.h"

#include <pthread.h>
#include <time.h>

#include <cerrno>
#include <cstdint>
#include <system_error>

#include "callback_timing.h"
#include "fsound.h"
#include "stream_mixer.h"

namespace {
constexpr int64_t ns_per_second = 1000000000;

int64_t now_ns() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * ns_per_second + t.tv_nsec;
}

void sleep_until_ns(int64_t deadline) {
  const timespec t{static_cast<time_t>(deadline / ns_per_second),
                   static_cast<long>(deadline % ns_per_second)};
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, nullptr) == EINTR) {
  }
}

// The time that `frames` frames last at `rate`, exactly, without overflow for
// any run length the process can have.
int64_t frames_to_ns(uint64_t frames, int rate) {
  const uint64_t r = static_cast<uint64_t>(rate);
  return static_cast<int64_t>(frames / r * ns_per_second + frames % r * ns_per_second / r);
}

// Asks for real-time scheduling so that other work on the machine cannot make
// blocks late; without the privilege the thread keeps the normal policy.
void raise_priority() {
  sched_param param{};
  param.sched_priority = sched_get_priority_min(SCHED_FIFO) + 10;
  pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);
}
}  // namespace

int nosound_output::start(stream_mixer& mixer, int rate, callback_timing& timing) {
  if (!recording_path_.empty() && !recorder_.open(recording_path_, static_cast<uint32_t>(rate),
                                                  wav_writer::placement::in_place))
    return FSOUND_ERR_INIT_OUTPUT;
  stopping_ = false;
  try {
    thread_ = std::thread([this, &mixer, rate, &timing] { run(mixer, rate, timing); });
  } catch (const std::system_error&) {
    recorder_.close();
    return FSOUND_ERR_INIT_OUTPUT;
  }
  return FSOUND_ERR_NONE;
}

std::string nosound_output::recording_failure() const {
  return recording_failed_.load(std::memory_order_acquire) ? recorder_.error() : std::string();
}

void nosound_output::stop() {
  if (!thread_.joinable()) return;
  stopping_ = true;
  thread_.join();
  recorder_.close();
}

// Block k plays from start + (k + lead) block periods on. The thread mixes it
// when block k - lead starts to play, at start + k periods, and it is late if
// it is not finished when its own period begins. Times are computed from the
// start, so the pace does not drift.
void nosound_output::run(stream_mixer& mixer, int rate, callback_timing& timing) {
  raise_priority();
  // After a stall this long (the machine was suspended, say) the clock starts
  // afresh instead of rushing to catch up.
  const int64_t resync_after = ns_per_second / 10;
  const int64_t lead = frames_to_ns(uint64_t{nosound_lead_blocks - 1} * fsound_block_frames, rate);
  int16_t block[fsound_block_frames * 2];
  int64_t start = now_ns();
  uint64_t frames = 0;  // frames mixed since `start`
  bool recording = recorder_.is_open();
  while (!stopping_.load(std::memory_order_relaxed)) {
    const int64_t began = callback_timing::now_ns();
    mixer.fill(block, fsound_block_frames);
    if (recording && !recorder_.append(block, fsound_block_frames)) {
      recording = false;
      recording_failed_.store(true, std::memory_order_release);
    }
    timing.record(began, fsound_block_frames);
    frames += fsound_block_frames;
    const int64_t next_mix = start + frames_to_ns(frames, rate);
    const int64_t now = now_ns();
    if (now > next_mix + lead) {
      late_.fetch_add(1, std::memory_order_relaxed);
      if (now - next_mix > resync_after) {
        start = now;
        frames = 0;
        continue;
      }
    }
    sleep_until_ns(next_mix);
  }
}
