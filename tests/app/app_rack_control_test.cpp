// The main thread's side of the rack's clock: tap tempo, the tempo keys in
// tenths of a BPM within the range, start and stop, the sync source, and
// the words that show them.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "rack_control.h"
#include "startup.h"
#include "tap_tempo.h"

namespace {

TEST(TapTempo, AveragesTheLastFourBeatsAndCountsAfreshAfterAPause) {
  struct taps {
    std::vector<double> seconds;
    std::optional<double> bpm;  // after the last tap
  };
  for (const taps& t : {taps{{0.0}, std::nullopt},
                        {{0.0, 0.5}, 120.0},
                        {{0.0, 0.4, 0.9, 1.5, 2.2, 3.0}, 60.0 / 0.65},  // taps 2 to 6
                        {{0.0, 0.5, 5.0}, std::nullopt},                // a pause
                        {{0.0, 0.5, 5.0, 5.6}, 100.0},
                        {{1.0, 0.5}, std::nullopt},  // a clock that went back
                        {{0.0, 0.1}, 300.0},
                        {{0.0, 2.9}, 60.0 / 2.9}}) {
    tap_tempo tapper;
    std::optional<double> bpm;
    for (double at : t.seconds) bpm = tapper.tap(at);
    ASSERT_EQ(bpm.has_value(), t.bpm.has_value()) << t.seconds.size() << " taps";
    EXPECT_NEAR(bpm.value_or(0), t.bpm.value_or(0), 1e-9);
  }
}

TEST(RackControl, TempoKeysStartStopAndSyncAsTheScreenShowsThem) {
  build_instruments();
  start_rack_clock(sync_source::internal);
  rack_clock& clock = program_rack_clock();
  EXPECT_EQ(rack_tempo_text(), "120.0 BPM");
  struct key {
    double by;
    const char* shown;
  };
  for (const key& k : {key{1, "121.0 BPM"},
                       {0.1, "121.1 BPM"},
                       {0.1, "121.2 BPM"},
                       {-1, "120.2 BPM"},
                       {-200, "20.0 BPM"},
                       {-0.1, "20.0 BPM"},
                       {400, "300.0 BPM"}}) {
    change_rack_tempo(k.by);
    EXPECT_EQ(rack_tempo_text(), k.shown);
  }
  toggle_rack_running();
  EXPECT_EQ(rack_tempo_text(), "300.0 BPM, stopped");
  toggle_rack_running();
  for (const char* source : {"MIDI clock", "JACK transport", "internal clock", "MIDI clock"}) {
    cycle_sync_source();
    EXPECT_EQ(sync_source_text(), source);
  }
  // While a clock is followed, it sets the tempo.
  const double before = clock.bpm();
  change_rack_tempo(5);
  tap_rack_tempo(0);
  tap_rack_tempo(1);
  EXPECT_EQ(clock.bpm(), before);
  EXPECT_EQ(sync_source_named("jack"), sync_source::jack_transport);
}
}  // namespace
