#pragma once
// The handover between a thread that stages a transfer and the rendering
// thread that runs it at the start of its next block: one atomic pointer to
// the staged transfer and a count of the transfers that have run. The
// rendering side takes the pointer with an exchange, so that a take-over and
// a withdrawal exclude each other, runs the transfer without allocating or
// locking and counts it; the staging side waits for that count and only then
// reuses the transfer's buffers. Release and acquire order on the two atomics
// make the transferred bytes visible to the side that reads them. One
// instrument's pattern file (state_handoff.h) and a whole session
// (session_handoff.h) go through it.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>

namespace block_handoff {

// Rendering thread: runs the staged transfer, if any. The usual case,
// nothing staged, costs one relaxed load.
template <typename Transfer, typename Run>
void run_staged(std::atomic<Transfer*>& staged, std::atomic<uint32_t>& finished, Run&& run) {
  if (staged.load(std::memory_order_relaxed) == nullptr) return;
  Transfer* transfer = staged.exchange(nullptr, std::memory_order_acquire);
  if (transfer == nullptr) return;
  run(*transfer);
  finished.fetch_add(1, std::memory_order_release);
}

// Staging thread (one at a time): stages `transfer` and waits until it has
// run. If no block takes it within `wait`, it is withdrawn and false
// returned: nothing of it has run.
template <typename Transfer>
bool stage_and_wait(std::atomic<Transfer*>& staged, std::atomic<uint32_t>& finished,
                    Transfer& transfer, std::chrono::milliseconds wait) {
  const uint32_t before = finished.load(std::memory_order_acquire);
  staged.store(&transfer, std::memory_order_release);
  const auto has_run = [&] { return finished.load(std::memory_order_acquire) != before; };
  const auto deadline = std::chrono::steady_clock::now() + wait;
  while (!has_run() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  if (has_run()) return true;
  Transfer* expected = &transfer;
  if (staged.compare_exchange_strong(expected, nullptr, std::memory_order_acq_rel))
    return false;  // withdrawn before any block took it
  // A block took it just now and is running it: it finishes within that block.
  while (!has_run()) std::this_thread::yield();
  return true;
}

}  // namespace block_handoff
