#pragma once
// Tap tempo: the musician taps the beat, and the tempo is the average of the
// last taps. A pause longer than one beat at the slowest tempo begins a new
// count, so a tap after a while never drags the tempo down.
#include <array>
#include <optional>

class tap_tempo {
 public:
  // A tap at `seconds` on a steady clock. The tempo of the taps so far, in
  // BPM within the rack's range, once a tap follows another; none for the
  // first tap of a count.
  std::optional<double> tap(double seconds);

 private:
  static constexpr int kept_taps = 5;  // four beats averaged
  std::array<double, kept_taps> taps_{};
  int count_ = 0;  // taps kept, the newest last
};
