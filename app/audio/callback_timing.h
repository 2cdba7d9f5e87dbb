#pragma once
// How long the output's callbacks take, as a share of the time that the
// frames they deliver last: a callback at 100% or more was too slow for its
// own period. Where the output knows when its cycle began (JACK), a second
// histogram counts from there, so that it holds the time the system took to
// wake the callback as well: a late cycle whose callback itself was quick
// was lost to the machine, not to the program. The output thread records
// each callback with two clock reads and a few relaxed counters; the main
// thread reads the histograms at the end. It also keeps the scheduling
// policy that the output thread ran with.
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
  // Output thread: a callback that began at `start_ns` has delivered
  // `frames`; its cycle began `woke_after_ns` before it (-1: not known).
  void record(int64_t start_ns, size_t frames, int64_t woke_after_ns = -1);

  struct summary {
    uint64_t callbacks = 0;
    // Shares of the period: half the callbacks took at most `median`, 99 in a
    // hundred at most `p99` (both to the bin's upper edge), the longest `max`.
    double median = 0, p99 = 0, max = 0;
    uint64_t over_period = 0;        // callbacks that took longer than their period
    size_t frames_per_callback = 0;  // of the last callback
  };
  // Of the callbacks' own durations, or from the start of their cycles.
  summary summarise(bool from_cycle_start = false) const;
  // The output thread's scheduling policy (SCHED_OTHER, SCHED_FIFO, ...) as
  // read at its first callback; -1 before any.
  int thread_policy() const { return policy_.load(std::memory_order_relaxed); }
  int thread_priority() const { return priority_.load(std::memory_order_relaxed); }

  // The summary and the non-empty bins, as lines of text.
  void write_report(std::FILE* out) const;

 private:
  void note_thread();

  struct histogram {
    std::array<std::atomic<uint64_t>, bins> counts{};
    std::atomic<uint64_t> max_millionths{0};
    void reset();
    void add(int64_t ns, size_t frames, int rate);
    summary summarise() const;
    void write(std::FILE* out, const char* name) const;
  };
  histogram own_;         // the callbacks' own durations
  histogram from_cycle_;  // from the start of their cycles, where known
  std::atomic<uint64_t> last_frames_{0};
  std::atomic<int> policy_{-1};
  std::atomic<int> priority_{0};
  int rate_ = 44100;  // written before the output starts
};
