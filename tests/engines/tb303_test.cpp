#include "tb303.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "notes.h"
#include "render_frames.h"
#include "step_event_recorder.h"

namespace {

constexpr double two_pi = 6.2831853;
constexpr int frames_per_pass = 16 * frames_per_step;

// A bass line with every step of every pattern at one frequency.
std::unique_ptr<TB303> make_engine(float frequency = 0.0f) {
  auto engine = std::make_unique<TB303>();
  for (auto& pattern : engine->pattern_memory)
    for (auto& step : pattern) step = frequency;
  return engine;
}

// ---- Notes -------------------------------------------------------------------

TEST(Notes, NotesGiveWholeOctavesAndPrintAsTheirOwnNumbers) {
  const double octaves[] = {8.1757989,  16.3515978,  32.7031956,
                            65.4063912, 130.8127824, 261.6255648};
  for (int n = 0; n <= 49; ++n) {
    const int octave = n == 0 ? 0 : (n - 1) / 12 + 1;
    EXPECT_EQ(note_to_frequency(n), static_cast<float>(octaves[octave])) << n;
  }
  EXPECT_EQ(note_to_frequency(70), static_cast<float>(8.1757989 * 64));  // (70 + 11) / 12 = 6
  const int printed[] = {1, 5, 13, 22, 37, 56};
  for (int o = 0; o < 6; ++o)
    EXPECT_EQ(frequency_to_note(static_cast<float>(octaves[o])), printed[o]) << o;
  EXPECT_EQ(frequency_to_note(0.0f), -11);
  // Frequencies with no note number print as 0 instead of converting garbage.
  EXPECT_EQ(frequency_to_note(-5.0f), 0);
  EXPECT_EQ(frequency_to_note(std::numeric_limits<float>::quiet_NaN()), 0);
  EXPECT_EQ(frequency_to_note(std::numeric_limits<float>::infinity()), 2147483647);
}

// ---- Construction and console --------------------------------------------------

TEST(TB303, ConstructionFillsThePatternsWithRandomNotesInOrder) {
  std::srand(1);  // the state of a run that never seeds rand()
  auto engine = std::make_unique<TB303>();
  EXPECT_STREQ(engine->engine_name, "TB303");
  EXPECT_EQ(engine->step_count, 16);
  EXPECT_EQ(engine->wave_kind, 1);
  EXPECT_EQ(engine->wave_divisor, 1.0f);
  EXPECT_EQ(engine->wave_offset, 1.0f);
  EXPECT_EQ(engine->phase, 0.0f);
  std::srand(1);
  for (int p = 0; p < 255; ++p)
    for (int s = 0; s < 255; ++s)
      ASSERT_EQ(engine->pattern_memory[p][s], note_to_frequency(std::rand() % 50)) << p << " " << s;
}

TEST(TB303, PrintStateShowsThePlayingPatternAsNotes) {
  auto engine = make_engine();
  const float octaves[] = {8.1757989f, 16.351598f, 32.703197f, 65.406395f, 130.81279f, 261.62558f};
  engine->current_pattern = 3;
  for (int s = 0; s < 16; ++s) engine->pattern_memory[3][s] = octaves[s % 6];
  engine->current_step = 2;
  engine->wave_divisor = 2.5f;
  const std::string expected =
      "TB303-" + std::to_string(engine->instrument_number) +
      " 16:   1   5 [13] 22  37  56   1   5  13  22  37  56   1   5  13  22 \r\n"
      "[PWR [*] VOLUME[0.50]] FILTER[[ ] LVL [ 3500] HICUT [10.000]]ENVELOPPE[*] LVL [1.000]] "
      "DISTORT[[ ] LVL [1.000] P1[1.000]  P2[0.100]]\r\nFX1 [2.500] FX2 [1.000] \r\n";
  EXPECT_EQ(printed_state(*engine), expected);

  // A pattern outside the memory prints as empty steps, and a step count
  // beyond the memory prints the 255 steps it holds.
  engine->current_pattern = 100000;
  engine->step_count = 1000;
  const std::string odd = printed_state(*engine);
  size_t empty_steps = 0;
  for (size_t at = odd.find("-11"); at != std::string::npos; at = odd.find("-11", at + 1))
    ++empty_steps;
  EXPECT_EQ(empty_steps, 255u);
}

// ---- Render: frames and buffers ------------------------------------------------

TEST(TB303Render, EveryStepLasts5513Frames) {
  auto engine = make_engine(100.0f);
  render_frames(*engine, frames_per_step - 1);
  EXPECT_EQ(engine->current_step, 0);
  EXPECT_EQ(engine->step_sample_counter, frames_per_step - 1);
  EXPECT_NE(engine->phase, 0.0f);
  render_frames(*engine, 1);
  EXPECT_EQ(engine->current_step, 1);
  EXPECT_EQ(engine->step_sample_counter, 0);
  EXPECT_EQ(engine->phase, 0.0f);  // every step starts its waveform afresh
  render_frames(*engine, 3 * frames_per_step);
  EXPECT_EQ(engine->current_step, 4);
  EXPECT_EQ(engine->step_sample_counter, 0);
}

// A 440 Hz sine through envelope and filter over a whole step, worked out here
// from the formulas, frame by frame: each formula in double, its result (the
// sample value v included) stored as a float.
TEST(TB303Render, SineThroughEnvelopeAndFilterMatchesTheFormulas) {
  auto engine = make_engine(440.0f);
  engine->filter_switch = 1;
  engine->hicut = 12.0f;
  engine->set_filter_level(2000);
  std::vector<int16_t> out = render_frames(*engine, frames_per_step - 1);
  const float cutoff_before_last_frame = engine->filter_cutoff;
  out.push_back(render_frames(*engine, 1)[0]);

  float phase = 0.0f, position = 0.0f, velocity = 0.0f, cutoff = 2000.0f;
  float coefficient = static_cast<float>(2.0 - 2.0 * std::cos(2000.0 * two_pi / 44100));
  for (int k = 0; k < frames_per_step; ++k) {
    phase = static_cast<float>(phase + 440.0 / 44100);
    if (phase > 1.0f) phase = static_cast<float>(phase - 1.0);
    float v = static_cast<float>(std::sin(two_pi * (1.0 + phase) / 1.0));
    v = static_cast<float>(v * 32000.0);
    v = static_cast<float>((5512.5 - k) / 5512.5 * 1.0 * v);
    velocity = static_cast<float>((v - static_cast<double>(position)) * coefficient + velocity);
    position = static_cast<float>(position + static_cast<double>(velocity));
    velocity = static_cast<float>(velocity * static_cast<double>(0.995f));
    v = static_cast<float>(12.0 / 10 * position);
    cutoff = static_cast<float>(cutoff - 0.12);
    coefficient = static_cast<float>(2.0 - 2.0 * std::cos(two_pi * cutoff / 44100));
    v = static_cast<float>(v * 0.5);
    ASSERT_EQ(out[k], static_cast<int16_t>(v)) << "frame " << k;
    if (k == frames_per_step - 2) {
      EXPECT_EQ(cutoff_before_last_frame, cutoff);
    }
  }
  EXPECT_NE(out[199], 0);
  EXPECT_EQ(engine->filter_cutoff, 2000.0f);  // the next step starts from the level again
}

TEST(TB303Render, EnvelopeFactorOfTheLastFrameOfAStep) {
  auto engine = make_engine(0.0f);  // the phase stays at 0 during the step
  engine->wave_offset = 0.25f;
  engine->envelope_level = 5000.0f;
  engine->volume = 1.0f;
  const std::vector<int16_t> out = render_frames(*engine, frames_per_step + 1);
  const float s = static_cast<float>(std::sin(two_pi * 0.25 / 1.0) * 32000);
  EXPECT_EQ(out[0], 32000);  // 5000 * 32000 limited
  EXPECT_EQ(out[frames_per_step - 1],
            static_cast<int16_t>(static_cast<float>((5512.5 - 5512) / 5512.5 * 5000.0 * s)));
  EXPECT_EQ(out[frames_per_step - 1], 14512);
  EXPECT_EQ(out[frames_per_step], 32000);  // the next step starts at full height
}

TEST(TB303Render, WaveKinds) {
  auto engine = make_engine(441.0f);
  engine->envelope_switch = 0;
  engine->volume = 1.0f;
  // Rising ramp: the phase itself. The sample value is a float between the
  // blocks: the float phase 0.01 times 32000 is 319.99999 in double but 320
  // once stored, and the stored value is the one truncated to the sample.
  engine->wave_kind = 2;
  ASSERT_LT(static_cast<double>(static_cast<float>(441.0 / 44100)) * 32000.0, 320.0);
  std::vector<int16_t> out = render_frames(*engine, 3);
  EXPECT_EQ(out[0], 320);
  engine->wave_kind = 4;
  const int16_t ramp = render_frames(*engine, 1)[0];
  EXPECT_EQ(ramp, static_cast<int16_t>(static_cast<float>(engine->phase * 32000.0)));
  EXPECT_EQ(ramp, 1280);

  engine->phase = 0.0f;
  engine->wave_kind = 3;  // three-level pulse
  engine->wave_offset = 0.25f;
  engine->pattern_memory[0][0] = 0.0f;
  engine->current_step = 0;
  EXPECT_EQ(render_frames(*engine, 1)[0], 32000);
  engine->wave_offset = 0.75f;
  EXPECT_EQ(render_frames(*engine, 1)[0], -32000);
  engine->wave_offset = 0.0f;
  EXPECT_EQ(render_frames(*engine, 1)[0], 0);

  engine->wave_kind = 7;  // repaired to the sine at the first frame
  engine->wave_offset = 0.25f;
  EXPECT_EQ(render_frames(*engine, 1)[0], static_cast<int16_t>(std::sin(two_pi * 0.25) * 32000));
  EXPECT_EQ(engine->wave_kind, 1);

  engine->wave_kind = 0;  // no oscillator: silence unless the noise is on
  for (int16_t sample : render_frames(*engine, 100)) EXPECT_EQ(sample, 0);
  engine->wave_kind = -3;
  for (int16_t sample : render_frames(*engine, 100)) EXPECT_EQ(sample, 0);
}

TEST(TB303Render, ZeroWaveDivisorBecomesOneTenMillionth) {
  auto engine = make_engine(0.0f);
  engine->wave_divisor = 0.0f;
  engine->wave_offset = 0.0f;
  render_frames(*engine, 2);
  EXPECT_EQ(std::bit_cast<uint32_t>(static_cast<float>(engine->wave_divisor)), 0x33D6BF95u);
  engine->wave_divisor = -0.0f;
  render_frames(*engine, 1);
  EXPECT_EQ(std::bit_cast<uint32_t>(static_cast<float>(engine->wave_divisor)), 0x33D6BF95u);
}

TEST(TB303Render, DistortionFormula) {
  auto engine = make_engine(0.0f);
  engine->distortion_switch = 1;
  engine->p1 = 2.0f;
  engine->envelope_switch = 0;
  engine->volume = 1.0f;
  // The sine of 6.2831853 / 4 is 1.0 in double precision: trunc(v) is 1.
  engine->wave_offset = 0.25f;
  const double s = std::sin(two_pi * 0.25);
  const double expected =
      s / ((std::fabs(std::trunc(s)) + static_cast<double>(0.1f)) * 2.0) * 1.0 * 3200;
  EXPECT_EQ(render_frames(*engine, 1)[0], static_cast<int16_t>(expected));
  EXPECT_EQ(render_frames(*engine, 1)[0], 1454);  // 3200 / 2.2
  // Below 1, trunc(v) is 0: sin(2pi / 12), about 0.5, gives about 0.5 / 0.2 * 3200.
  engine->wave_offset = 1.0f / 12;
  EXPECT_NEAR(render_frames(*engine, 1)[0], 8000, 1);
}

// ---- LFOs and power ------------------------------------------------------------

TEST(TB303Render, LfosWriteTheirTargetsWhileThePowerIsOn) {
  auto engine = make_engine(100.0f);
  engine->envelope_lfo->on = 1;
  engine->filter_lfo->on = 1;
  engine->filter_switch = 1;
  render_frames(*engine, 2);
  EXPECT_EQ(engine->envelope_level, static_cast<float>(std::sin(1.0 / 32 * 2 * 3.1417)));
  EXPECT_EQ(engine->filter_level, static_cast<int32_t>(15000 * std::sin(1.0 / (32 * 100.0))));
  EXPECT_EQ(engine->filter_level, 4);
  EXPECT_EQ(engine->envelope_lfo->position, 2.0f);
  EXPECT_EQ(engine->filter_lfo->position, 2.0f);
  // The new filter level is heard from the next step boundary.
  EXPECT_NE(engine->filter_cutoff, 4.0f);
  render_frames(*engine, frames_per_step - 2);
  EXPECT_EQ(engine->current_step, 1);
  EXPECT_EQ(engine->filter_cutoff, static_cast<float>(int32_t{engine->filter_level}));
}

TEST(TB303Render, PowerOffSilencesButKeepsTime) {
  step_event_recorder events;
  auto engine = make_engine(220.0f);
  engine->toggle_power();
  engine->envelope_lfo->on = 1;
  engine->filter_lfo->on = 1;
  engine->noise_switch = 1;
  engine->filter_switch = 1;
  const unsigned seed = engine->noise_seed;
  const std::vector<int16_t> out = render_frames(*engine, frames_per_pass + 10);
  for (int16_t sample : out) ASSERT_EQ(sample, 0);
  EXPECT_EQ(engine->current_step, 0);
  EXPECT_EQ(engine->step_sample_counter, 10);
  float phase = 0.0f;  // restarted at the pass boundary, then 10 frames on
  for (int k = 0; k < 10; ++k) phase = static_cast<float>(phase + 220.0 / 44100);
  EXPECT_EQ(engine->phase, phase);
  EXPECT_EQ(engine->envelope_lfo->position, 0.0f);
  EXPECT_EQ(engine->filter_lfo->position, 0.0f);
  EXPECT_EQ(engine->filter_position, 0.0f);
  EXPECT_EQ(engine->noise_seed, seed);
  const std::string number = std::to_string(engine->instrument_number);
  EXPECT_EQ(events.pass_end_texts(), std::vector<std::string>{number + "_BEEP_0"});
  EXPECT_TRUE(events.step_texts().empty());  // the bass line posts no step events
}

// ---- Sequencer -----------------------------------------------------------------

TEST(TB303Sequencer, ChainRunsOnAndWrapsAtThePatternCount) {
  step_event_recorder events;
  auto engine = make_engine(100.0f);
  engine->chain_switch = 1;
  engine->current_pattern = 21;
  render_frames(*engine, frames_per_pass);
  const std::string number = std::to_string(engine->instrument_number);
  // The event carries the pattern after the chain step, before the wrap.
  EXPECT_EQ(events.pass_end_texts(), std::vector<std::string>{number + "_BEEP_22"});
  EXPECT_EQ(engine->current_pattern, 0);
  EXPECT_EQ(engine->current_step, 0);
  render_frames(*engine, frames_per_pass);
  EXPECT_EQ(engine->current_pattern, 1);
  EXPECT_EQ(events.pass_end_texts().back(), number + "_BEEP_1");
}

TEST(TB303Sequencer, WithoutChainThePassEndReportsTheSamePattern) {
  step_event_recorder events;
  auto engine = make_engine(100.0f);
  engine->current_pattern = 4;
  render_frames(*engine, 2 * frames_per_pass);
  const std::string text = std::to_string(engine->instrument_number) + "_BEEP_4";
  EXPECT_EQ(events.pass_end_texts(), (std::vector<std::string>{text, text}));
  EXPECT_EQ(engine->current_pattern, 4);
}

TEST(TB303Sequencer, QueuedPatternAppliesAtTheNextStepBoundary) {
  step_event_recorder events;
  auto engine = make_engine(0.0f);
  for (int s = 0; s < 255; ++s) engine->pattern_memory[9][s] = 300.0f;
  render_frames(*engine, 3 * frames_per_step + 100);
  engine->set_queued_pattern(9);
  render_frames(*engine, frames_per_step - 101);
  EXPECT_EQ(engine->current_pattern, 0);
  EXPECT_EQ(engine->queued_pattern, 9);
  render_frames(*engine, 1);
  EXPECT_EQ(engine->current_step, 4);
  EXPECT_EQ(engine->current_pattern, 9);
  EXPECT_EQ(engine->queued_pattern, 0);
  EXPECT_TRUE(events.pass_end_texts().empty());
  render_frames(*engine, 1);
  EXPECT_EQ(engine->phase, static_cast<float>(300.0 / 44100));  // the new pattern plays
}

// ---- Faults mended ------------------------------------------------------------

// A queued pattern past the 255 of the memory, or a chain run from pattern
// 254, goes back to pattern 0 at the step boundary; the chain's pass end still
// reports the pattern after its step, 255.
TEST(TB303Sequencer, PatternsPastTheMemoryGoBackToZero) {
  step_event_recorder events;
  auto engine = make_engine(500.0f);
  engine->set_queued_pattern(300);
  render_frames(*engine, frames_per_step);
  EXPECT_EQ(engine->current_pattern, 0);
  engine->chain_switch = 1;
  engine->pattern_count = 1000;
  engine->current_pattern = 254;
  engine->current_step = 15;
  engine->step_sample_counter = 0;
  events.clear();
  render_frames(*engine, frames_per_step);
  const std::string number = std::to_string(engine->instrument_number);
  EXPECT_EQ(events.pass_end_texts(), std::vector<std::string>{number + "_BEEP_255"});
  EXPECT_EQ(engine->current_pattern, 0);
}

TEST(TB303Sequencer, StepPositionsOutsideThePassEndIt) {
  step_event_recorder events;
  auto engine = make_engine(500.0f);
  // A step count beyond the memory: the pass ends at the last step of the memory.
  engine->step_count = 300;
  engine->current_step = 254;
  render_frames(*engine, frames_per_step);
  EXPECT_EQ(engine->current_step, 0);
  EXPECT_EQ(events.pass_end_texts().size(), 1u);
  // A step count lowered below the playing step ends the pass at the boundary.
  engine->step_count = 4;
  engine->current_step = 9;
  render_frames(*engine, frames_per_step);
  EXPECT_EQ(engine->current_step, 0);
  // Loaded garbage: the largest counter and step end the step without overflow.
  engine->step_count = 16;
  engine->step_sample_counter = std::numeric_limits<int32_t>::max();
  engine->current_step = std::numeric_limits<int32_t>::max();
  render_frames(*engine, 1);
  EXPECT_EQ(engine->step_sample_counter, 0);
  EXPECT_EQ(engine->current_step, 0);
  engine->current_step = -40;
  render_frames(*engine, frames_per_step);
  EXPECT_EQ(engine->current_step, 0);
  EXPECT_EQ(events.pass_end_texts().size(), 4u);
}

TEST(TB303Render, NoiseAddsARandomTerm) {
  auto engine = make_engine(0.0f);
  engine->wave_kind = 0;
  engine->noise_switch = 1;
  engine->noise_setting_1 = 0.0001f;
  engine->noise_setting_2 = 0.001f;  // m = 10: r runs from 1 to 10
  engine->noise_setting_3 = 1.0f;
  engine->envelope_switch = 0;
  engine->volume = 1.0f;
  engine->noise_seed = 77;
  unsigned seed = 77;
  std::vector<int16_t> expected;
  for (int k = 0; k < 50; ++k) {
    const int r = rand_r(&seed) % 10 + 1;
    expected.push_back(static_cast<int16_t>(
        (0 + static_cast<double>(0.0001f) / (r / 1.0 * static_cast<double>(0.001f))) * 32000));
  }
  EXPECT_EQ(render_frames(*engine, 50), expected);
  EXPECT_GT(std::set<int16_t>(expected.begin(), expected.end()).size(), 5u);  // truly random
}

// noise_setting_2 strictly between -0.0001 and 0.0001 makes the remainder's
// divisor 0: the noise term is left out for that frame.
TEST(TB303Render, NoiseWithAZeroModulusIsSkipped) {
  auto noisy = make_engine(300.0f);
  auto quiet = make_engine(300.0f);
  noisy->noise_switch = 1;
  noisy->noise_setting_2 = 0.00005f;
  noisy->noise_setting_3 = 0.0f;
  const unsigned seed = noisy->noise_seed;
  EXPECT_EQ(render_frames(*noisy, 1000), render_frames(*quiet, 1000));
  EXPECT_EQ(noisy->noise_seed, seed);  // no random number drawn
  EXPECT_EQ(noisy->noise_setting_3, 0.001f);
  quiet->noise_setting_3 = 0.0f;  // repaired with the noise off too
  render_frames(*quiet, 1);
  EXPECT_EQ(quiet->noise_setting_3, 0.001f);
}

TEST(TB303Render, OutputStaysWithinPlusMinus32000) {
  auto engine = make_engine(55.0f);
  engine->volume = 1.0099995f;
  engine->envelope_level = 40.0f;
  engine->filter_switch = 1;
  engine->hicut = 300.0f;
  int16_t highest = 0, lowest = 0;
  for (int16_t sample : render_frames(*engine, 2 * frames_per_step)) {
    highest = std::max(highest, sample);
    lowest = std::min(lowest, sample);
  }
  EXPECT_EQ(highest, 32000);
  EXPECT_EQ(lowest, -32000);
}

TEST(TB303Render, NonFiniteValuesGiveDefinedSamples) {
  auto engine = make_engine(0.0f);
  engine->wave_offset = 0.25f;
  engine->envelope_switch = 0;
  engine->volume = std::numeric_limits<float>::quiet_NaN();
  for (int16_t sample : render_frames(*engine, 4)) EXPECT_EQ(sample, 0);
  engine->volume = std::numeric_limits<float>::infinity();
  for (int16_t sample : render_frames(*engine, 4)) EXPECT_EQ(sample, 32000);
  engine->volume = -std::numeric_limits<float>::infinity();
  for (int16_t sample : render_frames(*engine, 4)) EXPECT_EQ(sample, -32000);
  engine->volume = 1.0f;
  engine->envelope_lfo->on = 1;
  engine->envelope_switch = 1;
  engine->envelope_lfo->period = 0.0f;  // sin of an infinite argument: NaN
  engine->envelope_lfo->position = 1.0f;
  engine->filter_lfo->on = 1;
  engine->filter_lfo->period = 0.0f;
  engine->filter_lfo->position = 1.0f;
  for (int16_t sample : render_frames(*engine, 4)) EXPECT_EQ(sample, 0);
  EXPECT_EQ(engine->filter_level, 0);
  engine->envelope_lfo->on = 0;
  engine->envelope_level = 1e30f;
  for (int16_t sample : render_frames(*engine, 4)) EXPECT_EQ(sample, 32000);
}

TEST(TB303Render, FilterRecoversFromANonFiniteInput) {
  auto engine = make_engine(55.0f);
  engine->filter_switch = 1;
  engine->envelope_level = std::numeric_limits<float>::infinity();
  render_frames(*engine, 4);
  EXPECT_TRUE(std::isfinite(engine->filter_position));
  EXPECT_TRUE(std::isfinite(engine->filter_velocity));
  // Once the input is finite again the instrument sounds again.
  engine->envelope_level = 1.0f;
  bool sounds = false;
  for (int16_t sample : render_frames(*engine, 400)) sounds = sounds || sample != 0;
  EXPECT_TRUE(sounds);
}

}  // namespace
