#pragma once
// How long the output's callbacks take, as a share of the time that the
// frames they deliver last: a callback at 100% or more was too slow for its
// own period. The output thread records each callback with two clock reads
// and a few relaxed counters; the main thread reads the histogram at the end.
// It also keeps the scheduling policy that the output thread ran with.
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>

class callback_timing {
 public:
  // Histogram bins of half a per cent of the period, up to twice the period;
  // the last bin also takes every longer callback.
  static constexpr int bins_per_period = 200;
  static constexpr int bins = 2 * bins_per_period + 1;

  // Main thread, while no output runs: forgets what was recorded.
  void reset(int rate);

  // Output thread: a monotonic time in nanoseconds, to be given to `record`.
  static int64_t now_ns();
  // Output thread: a callback that began at `start_ns` has delivered `frames`.
  void record(int64_t start_ns, size_t frames);

  struct summary {
    uint64_t callbacks = 0;
    // Shares of the period: half the callbacks took at most `median`, 99 in a
    // hundred at most `p99` (both to the bin's upper edge), the longest `max`.
    double median = 0, p99 = 0, max = 0;
    uint64_t over_period = 0;        // callbacks that took longer than their period
    size_t frames_per_callback = 0;  // of the last callback
  };
  summary summarise() const;
  // The output thread's scheduling policy (SCHED_OTHER, SCHED_FIFO, ...) as
  // read at its first callback; -1 before any.
  int thread_policy() const { return policy_.load(std::memory_order_relaxed); }
  int thread_priority() const { return priority_.load(std::memory_order_relaxed); }

  // The summary and the non-empty bins, as lines of text.
  void write_report(std::FILE* out) const;

 private:
  void note_thread();

  std::array<std::atomic<uint64_t>, bins> counts_{};
  std::atomic<uint64_t> max_millionths_{0};
  std::atomic<uint64_t> last_frames_{0};
  std::atomic<int> policy_{-1};
  std::atomic<int> priority_{0};
  int rate_ = 44100;  // written before the output starts
};
