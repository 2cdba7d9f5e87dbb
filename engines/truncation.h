#pragma once
// Float-to-integer conversions that truncate toward zero like a C cast, but
// stay defined for every input: a value that is not a number becomes 0 and a
// value beyond the target range (infinities included) is limited to its ends.
// The sound state can hold any float (parameters may be driven without bound or
// loaded from a file), and a plain cast of such a value is undefined behaviour.
#include <cmath>
#include <cstdint>
#include <limits>

template <typename Int>
inline Int truncate_to(double value) noexcept {
  constexpr double low = static_cast<double>(std::numeric_limits<Int>::min());
  constexpr double high = static_cast<double>(std::numeric_limits<Int>::max());
  if (std::isnan(value)) return 0;
  if (value <= low) return std::numeric_limits<Int>::min();
  if (value >= high) return std::numeric_limits<Int>::max();
  return static_cast<Int>(value);
}

inline int32_t truncate_to_int32(double value) noexcept {
  return truncate_to<int32_t>(value);
}
inline int16_t truncate_to_int16(double value) noexcept {
  return truncate_to<int16_t>(value);
}
