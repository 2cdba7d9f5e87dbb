#include "tb808.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
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

std::string beep(const TB808& engine, int b) {
  return std::to_string(engine.instrument_number) + "_BEEP_" + std::to_string(b);
}

// The drum voice of a sounding step with the default parameters, distortion and
// filter off, worked out here from the formulas (in double, each result stored
// as a float): the voice decays linearly over the step while its phase speeds
// by tempo + depth * pitch.
std::vector<int16_t> expected_drum_step(int frames, float volume = 0.5f, double level = 8.0) {
  std::vector<int16_t> out;
  float phase = 0.5f;
  float pitch = 1.0f;
  for (int k = 0; k < frames; ++k) {
    const float v = static_cast<float>(std::sin(static_cast<double>(phase)) *
                                       ((5512.5 - k) / 5512.5 * level) * 3001.0);
    out.push_back(static_cast<int16_t>(std::clamp(v, -32000.0f, 32000.0f) * double{volume}));
    phase = static_cast<float>(phase + (133.0 + 1500.0 * pitch) / 44100.0);
    pitch = static_cast<float>(static_cast<double>(pitch) * static_cast<double>(0.9992f));
  }
  return out;
}

TEST(TB808, DefaultsAndPrintedState) {
  TB808 engine;
  EXPECT_STREQ(engine.engine_name, "TB808");
  EXPECT_EQ(engine.step_count, 8);
  EXPECT_EQ(engine.pitch_depth, 1500);
  EXPECT_EQ(std::bit_cast<uint32_t>(static_cast<float>(engine.pitch_decay)), 0x3F7FCB92u);
  EXPECT_EQ(engine.drum_level, 8.0f);
  EXPECT_EQ(engine.phase_factor, 1.0f);
  EXPECT_EQ(engine.pitch_factor, 1.0f);
  EXPECT_EQ(engine.drum_phase, 0.5f);
  for (const auto& pattern : engine.pattern_memory)
    for (const auto& step : pattern) ASSERT_EQ(step, 0);

  const std::string summary =
      "[PWR [*] VOLUME[0.50]] FILTER[[ ] LVL [ 3500] HICUT [10.000]]ENVELOPPE[*] LVL [1.000]] "
      "DISTORT[[ ] LVL [1.000] P1[1.000]  P2[0.100]]";
  const std::string tail =
      "\r\n" + summary + "\r\nFX1 [1500] FX2 [0.9992] FX3 [  8] FX4 [1.0] \r\n";
  const std::string head = "TB808-" + std::to_string(engine.instrument_number) + "  8: ";
  EXPECT_EQ(printed_state(engine), head + "-       " + tail);

  // Sounding steps print "*", the playing one "." (or "-" when silent); a value
  // other than 1 is a silent step.
  engine.current_pattern = 3;
  engine.current_step = 2;
  engine.pattern_memory[3][1] = 1;
  engine.pattern_memory[3][2] = 1;
  engine.pattern_memory[3][5] = 2;
  EXPECT_EQ(printed_state(engine), head + " *.     " + tail);
}

TEST(TB808, FirstFramesOfASoundingStep) {
  TB808 engine;
  engine.pattern_memory[0][0] = 1;
  const std::vector<int16_t> out = render_frames(engine, frames_per_step);
  EXPECT_EQ(out[0], 5755);  // sin(0.5) * 8 * 3001 = 11510.05, halved by the volume
  EXPECT_EQ(out, expected_drum_step(frames_per_step));

  // The voice is stored as a float before the limit and the volume: at level 10
  // and full volume, frame 1137 is just below an integer in double and on it
  // as a float.
  TB808 loud;
  loud.pattern_memory[0][0] = 1;
  loud.drum_level = 10.0f;
  loud.volume = 1.0f;
  EXPECT_EQ(render_frames(loud, frames_per_step), expected_drum_step(frames_per_step, 1.0f, 10.0));
}

TEST(TB808, DistortionAndFilterFollowTheVoice) {
  TB808 engine;
  engine.pattern_memory[0][0] = 1;
  engine.distortion_switch = 1;
  engine.filter_switch = 1;
  const std::vector<int16_t> out = render_frames(engine, 3);
  // The filter is fed the distorted voice; its cut-off falls 0.12 Hz a frame.
  float position = 0, velocity = 0, cutoff = 3500.0f;
  float coefficient = static_cast<float>(2 - 2 * std::cos(3500.0 * 6.2831853 / 44100));
  float phase = 0.5f, pitch = 1.0f;
  for (int k = 0; k < 3; ++k) {
    float v = static_cast<float>(std::sin(static_cast<double>(phase)) *
                                 ((5512.5 - k) / 5512.5 * 8.0) * 3001.0);
    v = static_cast<float>(v / ((std::fabs(std::trunc(v)) + static_cast<double>(0.1f)) * 1.0) *
                           1.0 * 3200.0);
    velocity = static_cast<float>((v - static_cast<double>(position)) * coefficient + velocity);
    position = static_cast<float>(static_cast<double>(position) + velocity);
    velocity = static_cast<float>(static_cast<double>(velocity) * static_cast<double>(0.995f));
    cutoff = static_cast<float>(cutoff - 0.12);
    coefficient = static_cast<float>(2 - 2 * std::cos(cutoff * 6.2831853 / 44100));
    EXPECT_EQ(out[k], static_cast<int16_t>(static_cast<float>(position * 1.0) * 0.5)) << k;
    phase = static_cast<float>(phase + (133.0 + 1500.0 * pitch) / 44100.0);
    pitch = static_cast<float>(static_cast<double>(pitch) * static_cast<double>(0.9992f));
  }
  // The next step starts again from the filter level.
  engine.filter_level = 2000;
  render_frames(engine, frames_per_step - 3);
  EXPECT_EQ(engine.filter_cutoff, 2000.0f);
}

TEST(TB808, EachSoundingStepRestartsTheVoiceAndSilentStepsKeepIt) {
  TB808 engine;
  engine.pattern_memory[0][0] = 1;
  engine.pattern_memory[0][1] = 1;
  const std::vector<int16_t> out = render_frames(engine, 3 * frames_per_step);
  const std::vector<int16_t> step = expected_drum_step(frames_per_step);
  EXPECT_TRUE(std::equal(step.begin(), step.end(), out.begin()));
  EXPECT_TRUE(std::equal(step.begin(), step.end(), out.begin() + frames_per_step));
  EXPECT_TRUE(
      std::all_of(out.begin() + 2 * frames_per_step, out.end(), [](int16_t s) { return s == 0; }));
  // Step 2 is silent: the voice stands where step 1 left it.
  EXPECT_NE(engine.drum_phase, 0.5f);
  EXPECT_LT(engine.pitch_factor, 0.02f);
}

TEST(TB808, StepsLast5513FramesAndPostStepAndPassEndEvents) {
  step_event_recorder events;
  TB808 engine;
  render_frames(engine, frames_per_step - 1);
  EXPECT_EQ(events.size(), 0u);
  EXPECT_EQ(engine.step_sample_counter, frames_per_step - 1);
  render_frames(engine, 1);
  EXPECT_EQ(engine.current_step, 1);
  EXPECT_EQ(events.step_texts(), std::vector<std::string>{beep(engine, 1)});

  // Every step off: silence, yet one step event a step and one pass-end event
  // a pass, posted before the step event of the step that starts the next pass.
  const std::vector<int16_t> rest = render_frames(engine, frames_per_pass - frames_per_step);
  EXPECT_TRUE(std::all_of(rest.begin(), rest.end(), [](int16_t s) { return s == 0; }));
  std::vector<recorded_step_event> expected;
  for (int s = 1; s <= 7; ++s) expected.push_back({step_event_code, beep(engine, s)});
  expected.push_back({pass_end_event_code, beep(engine, 0)});
  expected.push_back({step_event_code, beep(engine, 0)});
  EXPECT_EQ(events.events(), expected);
  EXPECT_EQ(engine.current_step, 0);
}

TEST(TB808, ChainReportsTheEndedPatternAndWraps) {
  step_event_recorder events;
  TB808 engine;
  engine.chain_switch = 1;
  engine.current_pattern = 21;
  engine.pattern_memory[0][0] = 1;
  render_frames(engine, frames_per_pass);
  EXPECT_EQ(events.pass_end_texts(), std::vector<std::string>{beep(engine, 21)});
  EXPECT_EQ(engine.current_pattern, 0);
  EXPECT_EQ(render_frames(engine, 1)[0], 5755);  // the next pass plays pattern 0
}

TEST(TB808, QueuedPatternAppliesAtTheNextStepBoundary) {
  step_event_recorder events;
  TB808 engine;
  render_frames(engine, 3 * frames_per_step);
  engine.set_queued_pattern(5);
  engine.pattern_memory[5][4] = 1;
  render_frames(engine, frames_per_step);
  EXPECT_EQ(engine.current_pattern, 5);
  EXPECT_EQ(engine.queued_pattern, 0);
  EXPECT_EQ(render_frames(engine, 1)[0], 5755);  // step 4 of pattern 5 sounds
  render_frames(engine, 4 * frames_per_step);
  EXPECT_EQ(events.pass_end_texts(), std::vector<std::string>{beep(engine, 5)});
}

TEST(TB808, PowerOffIsSilentWhileTheSequencerRuns) {
  step_event_recorder events;
  TB808 engine;
  for (auto& step : engine.pattern_memory[0]) step = 1;
  engine.power_switch = 0;
  engine.envelope_lfo->on = 1;
  engine.filter_lfo->on = 1;
  const std::vector<int16_t> out = render_frames(engine, frames_per_pass);
  EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](int16_t s) { return s == 0; }));
  EXPECT_EQ(events.step_texts().size(), 8u);
  EXPECT_EQ(events.pass_end_texts(), std::vector<std::string>{beep(engine, 0)});
  EXPECT_EQ(engine.envelope_lfo->position, 0.0f);
  EXPECT_EQ(engine.filter_lfo->position, 0.0f);
  engine.power_switch = 1;
  render_frames(engine, 10);
  EXPECT_EQ(engine.envelope_lfo->position, 10.0f);
  EXPECT_EQ(engine.filter_lfo->position, 10.0f);
}

// A chain run from the last pattern reports it and goes back to pattern 0; a
// queued pattern beyond the memory is not played from outside it.
TEST(TB808, PatternsPastTheMemoryGoBackToZero) {
  step_event_recorder events;
  TB808 engine;
  engine.chain_switch = 1;
  engine.current_pattern = 254;
  engine.current_step = 7;
  engine.step_sample_counter = 0;
  render_frames(engine, frames_per_step);
  EXPECT_EQ(events.pass_end_texts(), std::vector<std::string>{beep(engine, 254)});
  EXPECT_EQ(engine.current_pattern, 0);
  engine.set_queued_pattern(400);
  render_frames(engine, frames_per_step);
  EXPECT_EQ(engine.current_pattern, 0);
}

// Values that no formula survives (not a number, infinities, a volume loaded
// beyond 1) still give a defined sample: no garbage from an undefined conversion.
TEST(TB808, NonFiniteAndOversizedValuesGiveDefinedSamples) {
  TB808 engine;
  engine.pattern_memory[0][0] = 1;
  engine.drum_level = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(render_frames(engine, 1)[0], 0);
  engine.drum_level = std::numeric_limits<float>::infinity();
  EXPECT_EQ(render_frames(engine, 1)[0], 16000);  // limited to 32000, then halved
  engine.volume = 5.0f;
  EXPECT_EQ(render_frames(engine, 1)[0], 32767);
  engine.drum_level = 8.0f;
  engine.volume = 0.5f;
  engine.step_sample_counter = 0;
  engine.samples_per_step = 0.0f;  // the voice's decay divides it by itself: not a number
  for (int16_t s : render_frames(engine, 100)) EXPECT_EQ(s, 0);
}

}  // namespace
