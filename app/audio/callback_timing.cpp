#include "callback_timing.h"

#include <pthread.h>
#include <sched.h>
#include <time.h>

#include <algorithm>

void callback_timing::histogram::reset() {
  for (auto& count : counts) count.store(0, std::memory_order_relaxed);
  max_millionths.store(0, std::memory_order_relaxed);
}

void callback_timing::histogram::add(int64_t ns, size_t frames, int rate) {
  // ns / (frames / rate), in millionths of the period.
  const auto millionths =
      static_cast<uint64_t>(std::max<int64_t>(0, ns) * rate / static_cast<int64_t>(frames) / 1000);
  const uint64_t bin =
      std::min<uint64_t>(millionths * bins_per_period / 1000000, uint64_t{bins} - 1);
  counts[bin].fetch_add(1, std::memory_order_relaxed);
  uint64_t longest = max_millionths.load(std::memory_order_relaxed);
  while (millionths > longest &&
         !max_millionths.compare_exchange_weak(longest, millionths, std::memory_order_relaxed)) {
  }
}

callback_timing::summary callback_timing::histogram::summarise() const {
  summary s;
  std::array<uint64_t, bins> seen_in{};
  for (int i = 0; i < bins; ++i) {
    seen_in[i] = counts[i].load(std::memory_order_relaxed);
    s.callbacks += seen_in[i];
  }
  // A share is given by the upper edge of the bin it falls in.
  const auto upper_edge = [](int bin) { return static_cast<double>(bin + 1) / bins_per_period; };
  uint64_t seen = 0;
  bool median_found = false;
  for (int i = 0; i < bins && s.callbacks > 0; ++i) {
    seen += seen_in[i];
    if (!median_found && seen * 2 >= s.callbacks) {
      s.median = upper_edge(i);
      median_found = true;
    }
    if (seen * 100 >= s.callbacks * 99) {
      s.p99 = upper_edge(i);
      break;
    }
  }
  for (int i = bins_per_period; i < bins; ++i) s.over_period += seen_in[i];
  s.max = static_cast<double>(max_millionths.load(std::memory_order_relaxed)) / 1e6;
  return s;
}

void callback_timing::histogram::write(std::FILE* out, const char* name) const {
  const summary s = summarise();
  if (s.callbacks == 0) return;
  std::fprintf(out, "%s: callbacks %llu median %.4f p99 %.4f max %.4f over_period %llu\n", name,
               static_cast<unsigned long long>(s.callbacks), s.median, s.p99, s.max,
               static_cast<unsigned long long>(s.over_period));
  for (int i = 0; i < bins; ++i) {
    const uint64_t n = counts[i].load(std::memory_order_relaxed);
    if (n != 0)
      std::fprintf(out, "%s bin %.3f %llu\n", name, static_cast<double>(i) / bins_per_period,
                   static_cast<unsigned long long>(n));
  }
}

void callback_timing::reset(int rate) {
  own_.reset();
  from_cycle_.reset();
  last_frames_.store(0, std::memory_order_relaxed);
  policy_.store(-1, std::memory_order_relaxed);
  priority_.store(0, std::memory_order_relaxed);
  rate_ = rate > 0 ? rate : 44100;
}

int64_t callback_timing::now_ns() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return int64_t{t.tv_sec} * 1000000000 + t.tv_nsec;
}

void callback_timing::record(int64_t start_ns, size_t frames, int64_t woke_after_ns) {
  if (frames == 0) return;
  const int64_t took = now_ns() - start_ns;
  if (policy_.load(std::memory_order_relaxed) == -1) note_thread();
  own_.add(took, frames, rate_);
  if (woke_after_ns >= 0) from_cycle_.add(woke_after_ns + took, frames, rate_);
  last_frames_.store(frames, std::memory_order_relaxed);
}

// Once, on the output thread: the policy that the system really gave it.
void callback_timing::note_thread() {
  int policy = 0;
  sched_param param{};
  if (pthread_getschedparam(pthread_self(), &policy, &param) != 0) policy = SCHED_OTHER;
  priority_.store(param.sched_priority, std::memory_order_relaxed);
  policy_.store(policy, std::memory_order_relaxed);
}

callback_timing::summary callback_timing::summarise(bool from_cycle_start) const {
  summary s = (from_cycle_start ? from_cycle_ : own_).summarise();
  s.frames_per_callback = last_frames_.load(std::memory_order_relaxed);
  return s;
}

void callback_timing::write_report(std::FILE* out) const {
  std::fprintf(out, "frames per callback %llu, thread policy %d priority %d\n",
               static_cast<unsigned long long>(last_frames_.load(std::memory_order_relaxed)),
               thread_policy(), thread_priority());
  own_.write(out, "duration");
  from_cycle_.write(out, "from cycle start");
}
