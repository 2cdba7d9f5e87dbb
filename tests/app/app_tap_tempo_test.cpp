// Tap tempo: the average of the last four beats, afresh after a pause, within
// the rack's range. (The window test drives the other keys.)
#include <gtest/gtest.h>

#include "tap_tempo.h"

TEST(TapTempo, AveragesTheLastFourBeatsAndCountsAfreshAfterAPause) {
  using taps = std::vector<double>;
  for (const auto& [seconds, bpm] :
       std::vector<std::pair<taps, double>>{{{0.0}, 0},
                                            {{0.0, 0.5}, 120},
                                            {{0.0, 0.4, 0.9, 1.5, 2.2, 3.0}, 60 / 0.65},
                                            {{0.0, 0.5, 5.0}, 0},
                                            {{0.0, 0.5, 5.0, 5.6}, 100},
                                            {{1.0, 0.5}, 0},
                                            {{0.0, 0.1}, 300},
                                            {{0.0, 2.9}, 60 / 2.9}}) {
    tap_tempo tapper;
    std::optional<double> tapped;
    for (double at : seconds) tapped = tapper.tap(at);
    EXPECT_NEAR(tapped.value_or(0), bpm, 1e-9) << seconds.size() << " taps";
  }
}
