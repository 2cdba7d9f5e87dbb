#pragma once
// The blocks of the voice chain that the engines' `render` runs frame by frame
// on the running sample value v. Each engine calls the blocks it uses in its
// own order; each block tests its own switch. Like the fields, v is a float:
// every formula is worked in double and its result stored as a float, so a
// value just below an integer in double can reach it once stored, and the
// stored value is the one the next block and the output truncation see.
//
//   noise(i, v)                 repairs a zero noise divisor (0 -> 0.001), then,
//                               when the noise is on, adds
//                               noise_setting_1 / (r / noise_setting_3 * noise_setting_2)
//                               with r = random % m + 1, m = trunc(10000 * noise_setting_2).
//                               When m is 0 the remainder has no divisor: the
//                               noise term is skipped for that frame.
//   distortion(i, v)            the distortion formula
//                               v / ((|trunc(v)| + p2) * p1) * distortion_level * 3200.
//   distortion_or_scaling(i, v) distortion when it is on, otherwise v * 32000
//                               (for a raw waveform between -1 and 1).
//   distortion_if_on(i, v)      distortion when it is on, otherwise v unchanged
//                               (for a voice already on the 16-bit scale).
//   run_envelope_lfo(i)         when on: envelope_level = amplitude * sin(position / period * 2
//   * 3.1417),
//                               then position += 1.
//   run_filter_lfo(i)           when on: filter_level = trunc(15000 * amplitude * sin(position /
//   (period * 100))),
//                               then position += 1 (heard from the next step boundary).
//   run_lfos(i)                 the envelope LFO, then the filter LFO.
//   step_decay(i)               (samples_per_step - step_sample_counter) / samples_per_step:
//                               1 at the first frame of a step, nearly 0 at the last.
//   envelope(i, v)              when on (not 0): step_decay * envelope_level * v.
//   filter_coefficient_for(c)   2 - 2 cos(2pi c / sample_rate), the spring of a cut-off c.
//   filter(i, v)                when on: the damped spring follows v, v becomes
//                               hicut / 10 * filter_position, the cut-off falls by
//                               0.12 Hz and the coefficient follows it. A spring
//                               state that stops being finite restarts from rest.
//   reload_filter(i)            at a step boundary, when the filter is on: the
//                               cut-off restarts from filter_level.
//   limit_to_32000(v)           limits v to +-32000; a NaN becomes 0.
//   to_sample(v)                truncates toward zero to 16 bits; a NaN becomes 0
//                               and values beyond the 16-bit range are limited.
//   output_volume_then_limit    v * volume, limited, truncated (bass line).
//   output_limit_then_volume    v limited, then * volume, truncated (drums, OSC).
//   advance_phase(p, f)         the oscillator phase one frame on at f hertz, kept
//                               at most 1 (bass line and oscillator synth).
//   buffer_frame_count(length)  the whole 4-byte frames of a buffer of `length` bytes.
//   write_frame(buffer, k, s)   writes s to the left and right channel of frame k.
//   silent_while_halted(i, ...) while the rack is stopped: the buffer's frames
//                               are silence and nothing moves on.
//
// Nothing here allocates or locks: these run on the audio thread.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "instrument.h"
#include "truncation.h"

namespace voice_chain {
constexpr double two_pi = 6.2831853;      // the system's 2*pi
constexpr double lfo_pi = 3.1417;         // the envelope LFO's pi (not the true one)
constexpr double sample_scale = 32000.0;  // raw waveform to 16-bit scale
constexpr double distortion_scale = 3200.0;
constexpr double filter_lfo_scale = 15000.0;
constexpr double cutoff_fall_per_frame = 0.12;
constexpr double output_limit = 32000.0;
constexpr float repaired_noise_divisor = 0.001f;
}  // namespace voice_chain

inline float noise(INSTRUMENT& i, float v) {
  if (i.noise_setting_3 == 0.0f) i.noise_setting_3 = voice_chain::repaired_noise_divisor;
  if (i.noise_switch != 1) return v;
  const double setting_2 = i.noise_setting_2;
  const int32_t m = truncate_to_int32(10000.0 * setting_2);
  if (m == 0) return v;  // no divisor for the remainder: no noise this frame
  // rand_r keeps its state in the instrument: no lock, unlike rand().
  const int32_t r = rand_r(&i.noise_seed) % m + 1;
  return static_cast<float>(
      static_cast<double>(v) +
      static_cast<double>(i.noise_setting_1) /
          (static_cast<double>(r) / static_cast<double>(i.noise_setting_3) * setting_2));
}

inline float distortion(const INSTRUMENT& i, float v) {
  // trunc in double equals the integer truncation wherever that is defined.
  const double x = v;
  return static_cast<float>(
      x / ((std::fabs(std::trunc(x)) + static_cast<double>(i.p2)) * static_cast<double>(i.p1)) *
      static_cast<double>(i.distortion_level) * voice_chain::distortion_scale);
}

inline float distortion_or_scaling(const INSTRUMENT& i, float v) {
  return i.distortion_switch == 1
             ? distortion(i, v)
             : static_cast<float>(static_cast<double>(v) * voice_chain::sample_scale);
}

inline float distortion_if_on(const INSTRUMENT& i, float v) {
  return i.distortion_switch == 1 ? distortion(i, v) : v;
}

inline void run_envelope_lfo(INSTRUMENT& i) {
  LFO& lfo = *i.envelope_lfo;
  if (lfo.on != 1) return;
  const double position = lfo.position;
  i.store_envelope_level(static_cast<float>(
      static_cast<double>(lfo.amplitude) *
      std::sin(position / static_cast<double>(lfo.period) * 2.0 * voice_chain::lfo_pi)));
  lfo.position = static_cast<float>(position + 1.0);
}

inline void run_filter_lfo(INSTRUMENT& i) {
  LFO& lfo = *i.filter_lfo;
  if (lfo.on != 1) return;
  const double position = lfo.position;
  i.store_filter_level(
      truncate_to_int32(voice_chain::filter_lfo_scale * static_cast<double>(lfo.amplitude) *
                        std::sin(position / (static_cast<double>(lfo.period) * 100.0))));
  lfo.position = static_cast<float>(position + 1.0);
}

inline void run_lfos(INSTRUMENT& i) {
  run_envelope_lfo(i);
  run_filter_lfo(i);
}

inline double step_decay(const INSTRUMENT& i) {
  const double length = i.samples_per_step;
  return (length - static_cast<double>(i.step_sample_counter)) / length;
}

inline float envelope(const INSTRUMENT& i, float v) {
  if (i.envelope_switch == 0) return v;
  return static_cast<float>(step_decay(i) * static_cast<double>(i.envelope_level) *
                            static_cast<double>(v));
}

inline float filter_coefficient_for(float cutoff) {
  return static_cast<float>(
      2.0 - 2.0 * std::cos(static_cast<double>(cutoff) * voice_chain::two_pi / sample_rate));
}

inline float filter(INSTRUMENT& i, float v) {
  if (i.filter_switch != 1) return v;
  const double position = i.filter_position;
  const float velocity = static_cast<float>((static_cast<double>(v) - position) *
                                                static_cast<double>(i.filter_coefficient) +
                                            static_cast<double>(i.filter_velocity));
  float new_position = static_cast<float>(position + static_cast<double>(velocity));
  float new_velocity =
      static_cast<float>(static_cast<double>(velocity) * static_cast<double>(i.filter_damping));
  if (!std::isfinite(new_position) || !std::isfinite(new_velocity)) {
    // A non-finite input (an infinite drum pitch, a zero distortion divisor)
    // would otherwise stay in the spring for ever and silence the instrument
    // until restart: the spring starts again from rest instead.
    new_position = 0.0f;
    new_velocity = 0.0f;
  }
  i.filter_position = new_position;
  i.filter_velocity = new_velocity;
  const float cutoff =
      static_cast<float>(static_cast<double>(i.filter_cutoff) - voice_chain::cutoff_fall_per_frame);
  i.filter_cutoff = cutoff;
  i.filter_coefficient = filter_coefficient_for(cutoff);
  return static_cast<float>(static_cast<double>(i.hicut) / 10.0 *
                            static_cast<double>(new_position));
}

inline void reload_filter(INSTRUMENT& i) {
  if (i.filter_switch != 1) return;
  const float cutoff = static_cast<float>(i.filter_level);
  i.filter_cutoff = cutoff;
  i.filter_coefficient = filter_coefficient_for(cutoff);
}

// The oscillator phase, in cycles, moved on by one frame at `frequency` hertz
// (an integer divisor) and brought back once below 1 when it passes 1.
inline float advance_phase(float phase, float frequency) {
  float cycle =
      static_cast<float>(static_cast<double>(phase) + static_cast<double>(frequency) / sample_rate);
  if (cycle > 1.0f) cycle = static_cast<float>(static_cast<double>(cycle) - 1.0);
  return cycle;
}

inline float limit_to_32000(float v) {
  constexpr float limit = static_cast<float>(voice_chain::output_limit);
  if (std::isnan(v)) return 0.0f;
  if (v > limit) return limit;
  if (v < -limit) return -limit;
  return v;
}

inline int16_t to_sample(double v) {
  return truncate_to_int16(v);
}

// v = v * volume is stored before the limit and the truncation.
inline int16_t output_volume_then_limit(const INSTRUMENT& i, float v) {
  return to_sample(
      limit_to_32000(static_cast<float>(static_cast<double>(v) * static_cast<double>(i.volume))));
}

// The limited v times the volume is truncated as it stands.
inline int16_t output_limit_then_volume(const INSTRUMENT& i, float v) {
  return to_sample(static_cast<double>(limit_to_32000(v)) * static_cast<double>(i.volume));
}

inline int buffer_frame_count(int length) {
  return length > 0 ? length >> 2 : 0;
}

inline void write_frame(void* buffer, int frame, int16_t sample) {
  const int16_t both[2] = {sample, sample};
  // memcpy: the stream buffer carries no alignment promise.
  std::memcpy(static_cast<unsigned char*>(buffer) + static_cast<size_t>(frame) * 4, both, 4);
}

inline bool silent_while_halted(const INSTRUMENT& i, void* buffer, int length) {
  if (!i.halted.load(std::memory_order_relaxed)) return false;
  std::memset(buffer, 0, static_cast<size_t>(buffer_frame_count(length)) * 4);
  return true;
}
