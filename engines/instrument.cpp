#include "instrument.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "sequencer.h"
#include "state_handoff.h"
#include "voice_chain.h"

int32_t sample_rate = 44100;
int32_t tempo = 133;
int32_t instrument_counter = 0;

namespace {
// Parameter steps, single-precision constants added in single precision.
constexpr float step_hundredth = 0.01f;
constexpr float step_tenth = 0.1f;
constexpr float step_one = 1.0f;
constexpr float step_ten = 10.0f;
constexpr int32_t filter_level_step = 100;

void toggle_switch(shared_int& field) {
  field = field == 1 ? 0 : 1;
}

void add_step(shared_float& field, float step) {
  field = field + step;
}

// Integer steps saturate at the 32-bit range instead of overflowing.
void add_step(shared_int& field, int32_t step) {
  const int64_t sum = static_cast<int64_t>(field) + step;
  field = static_cast<int32_t>(std::clamp<int64_t>(sum, std::numeric_limits<int32_t>::min(),
                                                   std::numeric_limits<int32_t>::max()));
}
}  // namespace

// ---- LFO ---------------------------------------------------------------------

void LFO::toggle() {
  toggle_switch(on);
}
int32_t LFO::amplitude_up() {
  return add_step(amplitude, step_hundredth), 1;
}
int32_t LFO::amplitude_down() {
  return add_step(amplitude, -step_hundredth), 1;
}
int32_t LFO::period_up() {
  return add_step(period, step_hundredth), 1;
}
int32_t LFO::period_down() {
  return add_step(period, -step_hundredth), 1;
}
int32_t LFO::third_setting_up() {
  return add_step(third_setting, step_ten), 1;
}
int32_t LFO::third_setting_down() {
  return add_step(third_setting, -step_ten), 1;
}

// ---- Construction ------------------------------------------------------------

INSTRUMENT::INSTRUMENT() {
  chain_switch = 0;
  envelope_switch = 1;
  envelope_level = 1.0f;
  instrument_number = instrument_counter;
  instrument_counter = instrument_counter + 1;
  power_switch = 1;
  volume = 0.5f;
  current_step = 0;
  step_sample_counter = 0;
  pattern_count = 22;
  current_pattern = 0;
  queued_pattern = 0;
  // Steps per second in integers (532 / 60 = 8 at 133 beats per minute), the
  // frames per step in floating point: 5512.5.
  const int32_t steps_per_second = (tempo * 4) / 60;
  samples_per_step = static_cast<float>(static_cast<double>(sample_rate) / steps_per_second);
  distortion_switch = 0;
  distortion_level = 1.0f;
  p1 = 1.0f;
  p2 = 0.1f;
  hicut = 10.0f;
  filter_switch = 0;
  set_filter_level(3500);
  noise_switch = 0;
  noise_setting_1 = 1.0f;
  noise_setting_2 = 10000.0f;
  noise_setting_3 = 10000.0f;
  envelope_lfo = std::make_unique<LFO>();
  filter_lfo = std::make_unique<LFO>();
  // Each instrument has its own noise, starting from its own seed.
  noise_seed = static_cast<unsigned int>(instrument_number) + 1u;
}

void INSTRUMENT::set_filter_level(int32_t level) {
  filter_level = level;
  filter_position = 0.0f;
  filter_velocity = 0.0f;
  filter_damping = 0.995f;
  filter_cutoff = static_cast<float>(level);
  filter_coefficient = filter_coefficient_for(filter_cutoff);
}

// ---- Parameter operations ----------------------------------------------------

void INSTRUMENT::toggle_power() {
  toggle_switch(power_switch);
}
void INSTRUMENT::toggle_noise() {
  toggle_switch(noise_switch);
}
void INSTRUMENT::toggle_distortion() {
  toggle_switch(distortion_switch);
}
void INSTRUMENT::toggle_envelope() {
  toggle_switch(envelope_switch);
}
void INSTRUMENT::toggle_filter() {
  toggle_switch(filter_switch);
}

// The volume is the one parameter held in a range: it steps only while below
// 1.0 (up) or above -1.0 (down), so it can end just beyond either bound.
int32_t INSTRUMENT::volume_up() {
  if (volume < 1.0f) add_step(volume, step_hundredth);
  return 1;
}
int32_t INSTRUMENT::volume_down() {
  if (volume > -1.0f) add_step(volume, -step_hundredth);
  return 1;
}

int32_t INSTRUMENT::noise_setting_1_up() {
  return add_step(noise_setting_1, step_hundredth), 1;
}
int32_t INSTRUMENT::noise_setting_1_down() {
  return add_step(noise_setting_1, -step_hundredth), 1;
}
int32_t INSTRUMENT::noise_setting_2_up() {
  return add_step(noise_setting_2, step_ten), 1;
}
int32_t INSTRUMENT::noise_setting_2_down() {
  return add_step(noise_setting_2, -step_ten), 1;
}
int32_t INSTRUMENT::noise_setting_3_up() {
  return add_step(noise_setting_3, step_ten), 1;
}
int32_t INSTRUMENT::noise_setting_3_down() {
  return add_step(noise_setting_3, -step_ten), 1;
}
int32_t INSTRUMENT::distortion_level_up() {
  return add_step(distortion_level, step_tenth), 1;
}
int32_t INSTRUMENT::distortion_level_down() {
  return add_step(distortion_level, -step_tenth), 1;
}
int32_t INSTRUMENT::p1_up() {
  return add_step(p1, step_tenth), 1;
}
int32_t INSTRUMENT::p1_down() {
  return add_step(p1, -step_tenth), 1;
}
int32_t INSTRUMENT::p2_up() {
  return add_step(p2, step_one), 1;
}
int32_t INSTRUMENT::p2_down() {
  return add_step(p2, -step_one), 1;
}
int32_t INSTRUMENT::envelope_level_up() {
  return add_step(envelope_level, step_tenth), 1;
}
int32_t INSTRUMENT::envelope_level_down() {
  return add_step(envelope_level, -step_tenth), 1;
}
// The running cut-off is left alone: the engine reloads it from the level at
// the next step boundary.
int32_t INSTRUMENT::filter_level_up() {
  return add_step(filter_level, filter_level_step), 1;
}
int32_t INSTRUMENT::filter_level_down() {
  return add_step(filter_level, -filter_level_step), 1;
}
int32_t INSTRUMENT::hicut_up() {
  return add_step(hicut, step_one), 1;
}
int32_t INSTRUMENT::hicut_down() {
  return add_step(hicut, -step_one), 1;
}

int32_t INSTRUMENT::set_queued_pattern(int32_t n) {
  queued_pattern = n;
  return 1;
}
int32_t INSTRUMENT::request_pattern(int32_t n) {
  return set_queued_pattern(n == 0 ? queued_pattern_zero : n);
}
int32_t INSTRUMENT::store_envelope_level(float v) {
  envelope_level = v;
  return 1;
}
int32_t INSTRUMENT::store_filter_level(int32_t n) {
  filter_level = n;
  return 1;
}

// ---- Console and rendering ---------------------------------------------------

namespace {
const char* mark(int32_t switch_value) {
  return switch_value == 1 ? "*" : " ";
}
}  // namespace

void INSTRUMENT::print_state() {
  std::printf("[PWR [%s] VOLUME[%2.2f]] ", mark(power_switch), static_cast<double>(volume));
  std::printf("FILTER[[%s] LVL [%5d] HICUT [%5.3f]]", mark(filter_switch),
              static_cast<int>(filter_level), static_cast<double>(hicut));
  std::printf("ENVELOPPE[%s] LVL [%2.3f]]", mark(envelope_switch),
              static_cast<double>(envelope_level));
  std::printf(" DISTORT[[%s] LVL [%2.3f]", mark(distortion_switch),
              static_cast<double>(distortion_level));
  std::printf(" P1[%3.3f] ", static_cast<double>(p1));
  std::printf(" P2[%3.3f]]", static_cast<double>(p2));
}

bool INSTRUMENT::render(void*, void*, int, void*) {
  run_staged_transfer(*this);
  return true;
}

void INSTRUMENT::restart_sequencer(int32_t step) {
  place_sequencer(*this, step);
}
