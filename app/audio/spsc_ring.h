#pragma once
// A lock-free ring for one producing and one consuming thread, with all its
// room taken at construction: what leaves the audio thread (step events, the
// recorded mix, MIDI bytes) goes through one of these, so the audio thread
// neither allocates nor waits. A full ring refuses the item and counts it;
// the producer carries on.
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <type_traits>

template <typename T, size_t Capacity>
class spsc_ring {
  static_assert(std::is_trivially_copyable_v<T>, "items are copied as plain values");
  static_assert(Capacity > 0 && (Capacity & (Capacity - 1)) == 0, "a power of two");

 public:
  // Producer. False, and the item counted as dropped, when the ring is full.
  bool push(const T& item) {
    const uint64_t head = head_.load(std::memory_order_relaxed);
    if (head - tail_.load(std::memory_order_acquire) == Capacity) {
      dropped_.fetch_add(1, std::memory_order_relaxed);
      return false;
    }
    items_[head % Capacity] = item;
    head_.store(head + 1, std::memory_order_release);  // the item is visible before the count
    return true;
  }

  // Consumer. False when the ring is empty.
  bool pop(T& item) {
    const uint64_t tail = tail_.load(std::memory_order_relaxed);
    if (tail == head_.load(std::memory_order_acquire)) return false;
    item = items_[tail % Capacity];
    tail_.store(tail + 1, std::memory_order_release);  // the slot is free once read
    return true;
  }

  // Items waiting (either thread; a snapshot).
  size_t size() const {
    return static_cast<size_t>(head_.load(std::memory_order_acquire) -
                               tail_.load(std::memory_order_acquire));
  }
  static constexpr size_t capacity() { return Capacity; }
  // Items refused because the ring was full, since construction.
  uint64_t dropped() const { return dropped_.load(std::memory_order_relaxed); }

 private:
  // Producer and consumer counters on lines of their own, so that neither
  // thread's writes slow the other's reads.
  alignas(64) std::atomic<uint64_t> head_{0};
  alignas(64) std::atomic<uint64_t> tail_{0};
  alignas(64) std::atomic<uint64_t> dropped_{0};
  std::array<T, Capacity> items_{};
};
