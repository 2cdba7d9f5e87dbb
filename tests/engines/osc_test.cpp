#include "osc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "render_frames.h"
#include "step_event_recorder.h"

namespace {

constexpr int frames_per_pass = 8 * frames_per_step;

std::string beep(const OSC& engine, int b) {
  return std::to_string(engine.instrument_number) + "_BEEP_" + std::to_string(b);
}

struct oscillator_setting {
  float factor;
  float offset;
};

// The first step of a pass at `frequency`, worked out here from the formulas
// (in double, each result stored as a float): the sounding oscillators summed
// and divided by the number switched on, the step envelope, then the
// distortion when asked for, the limit and the volume 0.5.
std::vector<int16_t> expected_step(float frequency, const std::vector<oscillator_setting>& on,
                                   int frames, bool distortion = false, int switched_on = 0) {
  const double count = switched_on != 0 ? switched_on : static_cast<double>(on.size());
  std::vector<int16_t> out;
  float phase = 0.0f;
  for (int k = 0; k < frames; ++k) {
    phase = static_cast<float>(phase + frequency / 44100.0);
    if (phase > 1.0f) phase = static_cast<float>(phase - 1.0);
    double sum = 0.0;
    for (const oscillator_setting& o : on)
      sum += std::trunc(std::sin(static_cast<double>(phase) / o.factor / o.offset) * 32676.0);
    float v = static_cast<float>(sum / count);
    v = static_cast<float>((5512.5 - k) / 5512.5 * v);
    if (distortion)
      v = static_cast<float>(v / (std::fabs(std::trunc(v)) + static_cast<double>(0.1f)) * 3200.0);
    out.push_back(static_cast<int16_t>(std::clamp(v, -32000.0f, 32000.0f) * 0.5));
  }
  return out;
}

TEST(OSC, DefaultsAndPrintedState) {
  OSC engine;
  EXPECT_STREQ(engine.engine_name, "OSC");
  EXPECT_EQ(engine.step_count, 8);
  EXPECT_EQ((std::vector<int32_t>{engine.osc1_wave, engine.osc2_wave, engine.osc3_wave}),
            (std::vector<int32_t>{1, 2, 3}));
  EXPECT_EQ((std::vector<int32_t>{engine.osc1_on, engine.osc2_on, engine.osc3_on}),
            (std::vector<int32_t>{1, 1, 0}));
  for (float value : {engine.osc1_factor, engine.osc2_factor, engine.osc3_factor})
    EXPECT_EQ(value, 1.0f);
  for (float value : {engine.osc1_offset, engine.osc2_offset, engine.osc3_offset})
    EXPECT_EQ(value, 0.1f);
  const int octave_of_step[] = {0, 1, 2, 3, 4, 5, 5, 6};  // notes 0, 10, ..., 70
  for (int i = 0; i < 8; ++i)
    EXPECT_EQ(engine.step_frequencies[i],
              static_cast<float>(std::ldexp(8.1757989, octave_of_step[i])));
  for (int i = 8; i < 255; ++i) ASSERT_EQ(engine.step_frequencies[i], 0.0f);
  EXPECT_EQ(engine.phase, 0.0f);

  EXPECT_EQ(printed_state(engine),
            "OSC-" + std::to_string(engine.instrument_number) +
                "  8: [ 1]  5  13  22  37  56  56  85 \r\n"
                "[PWR [*] VOLUME[0.50]] FILTER[[ ] LVL [ 3500] HICUT [10.000]]ENVELOPPE[*] LVL "
                "[1.000]] DISTORT[[ ] LVL [1.000] P1[1.000]  P2[0.100]]\r\n"
                "OSC1 [*] OSC2 [*] OSC3 [ ] FOSC1 [1.0000] FOSC2 [1.0000] FOSC3 [1.0000] "
                "OSC1_OFFS [0.1000] OSC2_OFFS [0.1000] OSC3_OFFS [0.1000] \r\n");
}

TEST(OSC, MixAveragesTheSwitchedOnOscillators) {
  OSC engine;
  engine.step_frequencies[0] = 440.0f;
  // The two default oscillators are alike: the mix is either of them.
  EXPECT_EQ(render_frames(engine, frames_per_step),
            expected_step(440.0f, {{1.0f, 0.1f}}, frames_per_step));

  OSC three;
  three.step_frequencies[0] = 440.0f;
  three.osc2_factor = 2.0f;
  three.osc3_on = 5;  // any value but 0 is on
  three.osc3_factor = 0.5f;
  three.osc3_offset = 0.3f;
  EXPECT_EQ(render_frames(three, frames_per_step),
            expected_step(440.0f, {{1.0f, 0.1f}, {2.0f, 0.1f}, {0.5f, 0.3f}}, frames_per_step));

  // Oscillator 2 off leaves oscillator 1 whole, not half of it.
  OSC one;
  one.step_frequencies[0] = 440.0f;
  one.osc2_on = 0;
  one.osc1_factor = 2.0f;
  EXPECT_EQ(render_frames(one, 500), expected_step(440.0f, {{2.0f, 0.1f}}, 500));
}

TEST(OSC, DistortionComesAfterTheEnvelope) {
  OSC engine;
  engine.step_frequencies[0] = 440.0f;
  engine.distortion_switch = 1;
  EXPECT_EQ(render_frames(engine, frames_per_step),
            expected_step(440.0f, {{1.0f, 0.1f}}, frames_per_step, true));
}

TEST(OSC, WaveformNumbersDoNotChangeTheSound) {
  OSC plain, other;
  other.osc1_wave = 3;
  other.osc2_wave = 1;
  other.osc3_wave = 7;
  EXPECT_EQ(render_frames(plain, frames_per_pass), render_frames(other, frames_per_pass));
}

// The mix divides by the number of switched-on oscillators: with none there is
// nothing to average, and the frame is silent.
TEST(OSC, AllOscillatorsOffIsSilentWhileTheSequencerRuns) {
  step_event_recorder events;
  OSC engine;
  engine.osc1_on = 0;
  engine.osc2_on = 0;
  EXPECT_TRUE(silent(render_frames(engine, frames_per_pass)));
  EXPECT_EQ(events.step_texts().size(), 8u);
}

// A factor or an offset of 0 divides the phase by zero: that oscillator gives
// nothing instead of an undefined conversion, and still counts in the average.
TEST(OSC, ZeroFactorOrOffsetSilencesThatOscillator) {
  for (bool zero_factor : {true, false}) {
    OSC engine;
    engine.step_frequencies[0] = 440.0f;
    engine.osc2_factor = 2.0f;
    (zero_factor ? engine.osc1_factor : engine.osc1_offset) = 0.0f;
    EXPECT_EQ(render_frames(engine, 1000), expected_step(440.0f, {{2.0f, 0.1f}}, 1000, false, 2));
  }
}

TEST(OSC, StepsLast5513FramesAndPostStepAndPassEndEvents) {
  step_event_recorder events;
  OSC engine;
  engine.filter_switch = 1;
  engine.filter_level = 2000;
  render_frames(engine, frames_per_step - 1);
  EXPECT_EQ(events.size(), 0u);
  render_frames(engine, 1);
  EXPECT_EQ(engine.current_step, 1);
  EXPECT_EQ(engine.phase, 0.0f);             // every step starts its waveform afresh
  EXPECT_EQ(engine.filter_cutoff, 2000.0f);  // and its filter from the filter level
  render_frames(engine, frames_per_pass - frames_per_step);
  std::vector<recorded_step_event> expected;
  for (int s = 1; s <= 7; ++s) expected.push_back({step_event_code, beep(engine, s)});
  expected.push_back({pass_end_event_code, beep(engine, 0)});
  expected.push_back({step_event_code, beep(engine, 0)});
  EXPECT_EQ(events.events(), expected);
}

// The pattern number only counts chained passes: no wrap, no queued pattern.
TEST(OSC, ChainCountsPassesWithoutWrappingAndIgnoresTheQueue) {
  step_event_recorder events;
  OSC engine;
  engine.chain_switch = 1;
  engine.current_pattern = 21;
  engine.set_queued_pattern(5);
  render_frames(engine, 2 * frames_per_pass);
  EXPECT_EQ(events.pass_end_texts(),
            (std::vector<std::string>{beep(engine, 21), beep(engine, 22)}));
  EXPECT_EQ(engine.current_pattern, 23);
  EXPECT_EQ(engine.queued_pattern, 5);
  // Counting on from the largest number does not overflow.
  engine.current_pattern = std::numeric_limits<int32_t>::max();
  render_frames(engine, frames_per_pass);
  EXPECT_EQ(engine.current_pattern, std::numeric_limits<int32_t>::max());
}

TEST(OSC, PowerOffIsSilentWhileThePhaseAndTheSequencerRun) {
  step_event_recorder events;
  OSC on, off;
  off.power_switch = 0;
  off.envelope_lfo->on = 1;
  off.filter_lfo->on = 1;
  render_frames(on, 1000);
  EXPECT_TRUE(silent(render_frames(off, 1000)));
  EXPECT_EQ(off.phase, on.phase);
  EXPECT_EQ(off.envelope_lfo->position, 0.0f);
  EXPECT_EQ(off.filter_lfo->position, 0.0f);
  events.clear();
  render_frames(off, frames_per_pass);
  EXPECT_EQ(events.step_texts().size(), 8u);
  EXPECT_EQ(events.pass_end_texts().size(), 1u);
}

// Frequencies that are not finite give silence, not an undefined conversion.
TEST(OSC, NonFiniteFrequenciesGiveSilence) {
  OSC engine;
  for (float frequency :
       {std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN()}) {
    engine.current_step = 3;
    engine.step_frequencies[3] = frequency;
    EXPECT_TRUE(silent(render_frames(engine, 100)));
  }
}

}  // namespace
