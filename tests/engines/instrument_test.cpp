#include "instrument.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "render_frames.h"

namespace {

uint32_t bits(float f) {
  return std::bit_cast<uint32_t>(f);
}

TEST(Instrument, FreshInstrumentHoldsItsDefaults) {
  INSTRUMENT i;
  EXPECT_EQ(i.chain_switch, 0);
  EXPECT_EQ(i.envelope_switch, 1);
  EXPECT_EQ(i.envelope_level, 1.0f);
  EXPECT_EQ(i.power_switch, 1);
  EXPECT_EQ(i.volume, 0.5f);
  EXPECT_EQ(i.current_step, 0);
  EXPECT_EQ(i.step_sample_counter, 0);
  EXPECT_EQ(i.pattern_count, 22);
  EXPECT_EQ(i.current_pattern, 0);
  EXPECT_EQ(i.queued_pattern, 0);
  // (133 * 4) / 60 is 8 in integers: 44100 / 8, not 44100 / 8.8666.
  EXPECT_EQ(i.samples_per_step, 5512.5f);
  EXPECT_EQ(i.distortion_switch, 0);
  EXPECT_EQ(i.distortion_level, 1.0f);
  EXPECT_EQ(i.p1, 1.0f);
  EXPECT_EQ(i.p2, 0.1f);
  EXPECT_EQ(i.hicut, 10.0f);
  EXPECT_EQ(i.filter_switch, 0);
  EXPECT_EQ(i.filter_level, 3500);
  EXPECT_EQ(i.filter_cutoff, 3500.0f);
  EXPECT_EQ(bits(i.filter_damping), 0x3F7EB852u);
  EXPECT_EQ(i.filter_coefficient,
            static_cast<float>(2.0 - 2.0 * std::cos(3500.0 * 6.2831853 / 44100)));
  EXPECT_NEAR(i.filter_coefficient, 0.24356, 1e-5);
  EXPECT_EQ(i.filter_position, 0.0f);
  EXPECT_EQ(i.filter_velocity, 0.0f);
  EXPECT_EQ(i.noise_switch, 0);
  EXPECT_EQ(i.noise_setting_1, 1.0f);
  EXPECT_EQ(i.noise_setting_2, 10000.0f);
  EXPECT_EQ(i.noise_setting_3, 10000.0f);
  ASSERT_NE(i.envelope_lfo.get(), nullptr);
  ASSERT_NE(i.filter_lfo.get(), nullptr);
  EXPECT_NE(i.envelope_lfo.get(), i.filter_lfo.get());
  for (const LFO* lfo : {i.envelope_lfo.get(), i.filter_lfo.get()}) {
    EXPECT_EQ(lfo->on, 0);
    EXPECT_EQ(lfo->position, 0.0f);
    EXPECT_EQ(lfo->amplitude, 1.0f);
    EXPECT_EQ(lfo->period, 32.0f);
    EXPECT_EQ(lfo->third_setting, 500.0f);
  }
}

TEST(Instrument, ConstructionNumbersInstrumentsInOrder) {
  const int32_t first = instrument_counter;
  INSTRUMENT a, b, c;
  EXPECT_EQ(a.instrument_number, first);
  EXPECT_EQ(b.instrument_number, first + 1);
  EXPECT_EQ(c.instrument_number, first + 2);
  EXPECT_EQ(instrument_counter, first + 3);
}

TEST(Instrument, PrintStateOfAFreshInstrument) {
  INSTRUMENT i;
  EXPECT_EQ(printed_state(i),
            "[PWR [*] VOLUME[0.50]] FILTER[[ ] LVL [ 3500] HICUT [10.000]]ENVELOPPE[*] LVL "
            "[1.000]] DISTORT[[ ] LVL [1.000] P1[1.000]  P2[0.100]]");
  i.toggle_power();
  i.toggle_filter();
  i.toggle_envelope();
  i.toggle_distortion();
  i.filter_level_down();
  EXPECT_EQ(printed_state(i),
            "[PWR [ ] VOLUME[0.50]] FILTER[[*] LVL [ 3400] HICUT [10.000]]ENVELOPPE[ ] LVL "
            "[1.000]] DISTORT[[*] LVL [1.000] P1[1.000]  P2[0.100]]");
}

TEST(Instrument, VolumeStepsStopJustPastEitherBound) {
  INSTRUMENT i;
  for (int n = 0; n < 51; ++n) EXPECT_EQ(i.volume_up(), 1);
  EXPECT_EQ(i.volume, 1.0099995f);
  i.volume_up();
  EXPECT_EQ(i.volume, 1.0099995f);

  i.volume = 0.5f;
  for (int n = 0; n < 151; ++n) EXPECT_EQ(i.volume_down(), 1);
  EXPECT_EQ(i.volume, -1.0099992f);
  i.volume_down();
  EXPECT_EQ(i.volume, -1.0099992f);
}

TEST(Instrument, FilterLevelStepsLeaveTheRunningFilterAlone) {
  INSTRUMENT i;
  for (int n = 0; n < 36; ++n) EXPECT_EQ(i.filter_level_down(), 1);
  EXPECT_EQ(i.filter_level, -100);
  EXPECT_EQ(i.filter_cutoff, 3500.0f);
  EXPECT_EQ(i.filter_coefficient,
            static_cast<float>(2.0 - 2.0 * std::cos(3500.0 * 6.2831853 / 44100)));
  i.filter_level_up();
  EXPECT_EQ(i.filter_level, 0);
  i.filter_level = 2147483600;  // near the top of the range: the step saturates
  i.filter_level_up();
  EXPECT_EQ(i.filter_level, 2147483647);
}

// Every float operation adds its own single-precision constant to its own field.
TEST(Instrument, EachParameterOperationStepsItsField) {
  INSTRUMENT i;
  LFO& e = *i.envelope_lfo;
  struct step_case {
    const char* name;
    std::function<int32_t()> operation;
    shared_float* field;
    float expected;
  };
  const std::vector<step_case> cases = {
      {"noise_setting_1_up", [&] { return i.noise_setting_1_up(); }, &i.noise_setting_1,
       1.0f + 0.01f},
      {"noise_setting_1_down", [&] { return i.noise_setting_1_down(); }, &i.noise_setting_1,
       (1.0f + 0.01f) - 0.01f},
      {"noise_setting_2_up", [&] { return i.noise_setting_2_up(); }, &i.noise_setting_2, 10010.0f},
      {"noise_setting_2_down", [&] { return i.noise_setting_2_down(); }, &i.noise_setting_2,
       10000.0f},
      {"noise_setting_3_down", [&] { return i.noise_setting_3_down(); }, &i.noise_setting_3,
       9990.0f},
      {"noise_setting_3_up", [&] { return i.noise_setting_3_up(); }, &i.noise_setting_3, 10000.0f},
      {"distortion_level_up", [&] { return i.distortion_level_up(); }, &i.distortion_level,
       1.0f + 0.1f},
      {"distortion_level_down", [&] { return i.distortion_level_down(); }, &i.distortion_level,
       (1.0f + 0.1f) - 0.1f},
      {"p1_down", [&] { return i.p1_down(); }, &i.p1, 1.0f - 0.1f},
      {"p1_up", [&] { return i.p1_up(); }, &i.p1, (1.0f - 0.1f) + 0.1f},
      {"p2_up", [&] { return i.p2_up(); }, &i.p2, 0.1f + 1.0f},
      {"p2_down", [&] { return i.p2_down(); }, &i.p2, (0.1f + 1.0f) - 1.0f},
      {"envelope_level_down", [&] { return i.envelope_level_down(); }, &i.envelope_level,
       1.0f - 0.1f},
      {"envelope_level_up", [&] { return i.envelope_level_up(); }, &i.envelope_level,
       (1.0f - 0.1f) + 0.1f},
      {"hicut_up", [&] { return i.hicut_up(); }, &i.hicut, 11.0f},
      {"hicut_down", [&] { return i.hicut_down(); }, &i.hicut, 10.0f},
      {"amplitude_down", [&] { return e.amplitude_down(); }, &e.amplitude, 1.0f - 0.01f},
      {"amplitude_up", [&] { return e.amplitude_up(); }, &e.amplitude, (1.0f - 0.01f) + 0.01f},
      {"period_up", [&] { return e.period_up(); }, &e.period, 32.0f + 0.01f},
      {"period_down", [&] { return e.period_down(); }, &e.period, (32.0f + 0.01f) - 0.01f},
      {"third_setting_up", [&] { return e.third_setting_up(); }, &e.third_setting, 510.0f},
      {"third_setting_down", [&] { return e.third_setting_down(); }, &e.third_setting, 500.0f},
  };
  for (const step_case& c : cases) {
    EXPECT_EQ(c.operation(), 1) << c.name;
    EXPECT_EQ(bits(*c.field), bits(c.expected)) << c.name;
  }
  // Repeated steps accumulate single-precision rounding.
  i.distortion_level = 1.0f;
  for (int n = 0; n < 10; ++n) i.distortion_level_up();
  EXPECT_NE(i.distortion_level, 2.0f);
  EXPECT_NEAR(i.distortion_level, 2.0f, 1e-5);
}

TEST(Instrument, TogglesKeepSwitchesAtZeroOrOne) {
  INSTRUMENT i;
  struct toggle_case {
    std::function<void()> toggle;
    shared_int* field;
  };
  const std::vector<toggle_case> cases = {
      {[&] { i.toggle_power(); }, &i.power_switch},
      {[&] { i.toggle_noise(); }, &i.noise_switch},
      {[&] { i.toggle_distortion(); }, &i.distortion_switch},
      {[&] { i.toggle_envelope(); }, &i.envelope_switch},
      {[&] { i.toggle_filter(); }, &i.filter_switch},
      {[&] { i.envelope_lfo->toggle(); }, &i.envelope_lfo->on},
      {[&] { i.filter_lfo->toggle(); }, &i.filter_lfo->on},
  };
  for (const toggle_case& c : cases) {
    *c.field = 5;  // as a file may hold it
    c.toggle();
    EXPECT_EQ(*c.field, 1);
    c.toggle();
    EXPECT_EQ(*c.field, 0);
    c.toggle();
    EXPECT_EQ(*c.field, 1);
  }
  EXPECT_EQ(i.get_power(), 1);
  EXPECT_EQ(i.get_noise(), 1);
  EXPECT_EQ(i.envelope_lfo->get_on(), 1);
}

TEST(Instrument, SetAndStoreOperations) {
  INSTRUMENT i;
  i.filter_position = 3.0f;
  i.filter_velocity = -2.0f;
  i.filter_damping = 0.5f;
  i.set_filter_level(1000);
  EXPECT_EQ(i.filter_level, 1000);
  EXPECT_EQ(i.filter_cutoff, 1000.0f);
  EXPECT_EQ(i.filter_position, 0.0f);
  EXPECT_EQ(i.filter_velocity, 0.0f);
  EXPECT_EQ(i.filter_damping, 0.995f);
  EXPECT_EQ(i.filter_coefficient,
            static_cast<float>(2.0 - 2.0 * std::cos(1000.0 * 6.2831853 / 44100)));

  EXPECT_EQ(i.store_filter_level(-7), 1);
  EXPECT_EQ(i.filter_level, -7);
  EXPECT_EQ(i.filter_cutoff, 1000.0f);  // store touches nothing else
  EXPECT_EQ(i.store_envelope_level(0.25f), 1);
  EXPECT_EQ(i.envelope_level, 0.25f);
  EXPECT_EQ(i.set_queued_pattern(-3), 1);
  EXPECT_EQ(i.queued_pattern, -3);

  std::vector<char> untouched(64, 'x');
  EXPECT_TRUE(i.render(nullptr, untouched.data(), 64, nullptr));
  EXPECT_EQ(untouched, std::vector<char>(64, 'x'));
}

}  // namespace
