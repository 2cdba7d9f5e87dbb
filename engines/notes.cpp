#include "notes.h"

#include <cmath>

#include "truncation.h"

namespace {
constexpr double lowest_note_frequency = 8.1757989;
}

float note_to_frequency(int32_t n) {
  // 64-bit sum: n + 11 cannot overflow.
  const int64_t octave = (static_cast<int64_t>(n) + 11) / 12;
  // ldexp saturates to infinity or 0 for octaves far out of range.
  const int exponent = static_cast<int>(octave > 4096 ? 4096 : (octave < -4096 ? -4096 : octave));
  return static_cast<float>(std::ldexp(lowest_note_frequency, exponent));
}

int32_t frequency_to_note(float f) {
  return truncate_to_int32(std::sqrt(static_cast<double>(f) / lowest_note_frequency) * 12.0 - 11.0);
}

double tempered_note_frequency(double n) {
  return lowest_note_frequency * std::exp2(n / 12.0);
}
