#pragma once
// A 32-bit value shared between the main thread (which edits it) and the audio
// thread (which reads it at every frame). It reads and writes like a plain field,
// but every access is a relaxed atomic load or store: no lock, no reordering
// guarantees beyond the value itself, and no data race.
#include <atomic>
#include <cstdint>

template <typename T>
class shared_field {
  static_assert(sizeof(T) == 4, "shared fields are 32 bits wide");
  static_assert(std::atomic<T>::is_always_lock_free, "shared fields must be lock-free");

 public:
  constexpr shared_field(T value = T{}) noexcept : value_(value) {}
  shared_field(const shared_field& other) noexcept : value_(other.load()) {}
  shared_field& operator=(const shared_field& other) noexcept {
    store(other.load());
    return *this;
  }
  shared_field& operator=(T value) noexcept {
    store(value);
    return *this;
  }
  operator T() const noexcept { return load(); }

  T load() const noexcept { return value_.load(std::memory_order_relaxed); }
  void store(T value) noexcept { value_.store(value, std::memory_order_relaxed); }

 private:
  std::atomic<T> value_;
};

using shared_int = shared_field<int32_t>;
using shared_float = shared_field<float>;
