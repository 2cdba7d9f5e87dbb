#include "tap_tempo.h"

#include <algorithm>

#include "rack_tempo.h"

namespace {
// One beat at the slowest tempo.
constexpr double longest_beat = 60.0 / rack_lowest_bpm;
}  // namespace

std::optional<double> tap_tempo::tap(double seconds) {
  const bool paused =
      count_ > 0 && !(seconds - taps_[count_ - 1] <= longest_beat && seconds > taps_[count_ - 1]);
  if (paused) count_ = 0;
  if (count_ == kept_taps) {
    std::rotate(taps_.begin(), taps_.begin() + 1, taps_.end());
    --count_;
  }
  taps_[count_++] = seconds;
  if (count_ < 2) return std::nullopt;
  const double beat = (taps_[count_ - 1] - taps_[0]) / (count_ - 1);
  return clamp_bpm(60.0 / beat);
}
