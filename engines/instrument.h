#pragma once
// INSTRUMENT: the common base of the three sound engines. It holds the name and
// number of an instrument, its stream handle, the sequencer position and
// pattern selection, and the parameters and running state of the voice chain.
// The panels edit these fields on the main thread through the parameter
// operations while the engine's `render` reads them on the audio thread, so
// every shared field is a lock-free 32-bit `shared_field`.
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "shared_field.h"

// Process-wide values used by all instruments.
extern int32_t sample_rate;         // 44100 frames per second
extern int32_t tempo;               // beats per minute, 133
extern int32_t instrument_counter;  // next instrument number (constructions run on the main thread)

struct state_transfer;

constexpr int engine_name_size = 80;
constexpr int instrument_block_size = 216;  // the instrument's block in a pattern file
// A queued pattern of 0 means "no request", in the instrument as in pattern
// files; a request for pattern 0 itself waits in queued_pattern as this value.
constexpr int32_t queued_pattern_zero = -1;

// A low-frequency oscillator record, owned by its instrument.
struct LFO {
  shared_int on{0};
  shared_float position{0.0f};
  shared_float amplitude{1.0f};
  shared_float period{32.0f};
  shared_float third_setting{500.0f};

  void toggle();
  int32_t get_on() const { return on; }
  int32_t amplitude_up();
  int32_t amplitude_down();
  int32_t period_up();
  int32_t period_down();
  int32_t third_setting_up();
  int32_t third_setting_down();
};

class INSTRUMENT {
 public:
  INSTRUMENT();
  virtual ~INSTRUMENT() = default;
  INSTRUMENT(const INSTRUMENT&) = delete;
  INSTRUMENT& operator=(const INSTRUMENT&) = delete;

  // Virtual operations. Every engine overrides `print_state` and `render`.
  // `read_state` and `write_state` move the instrument's pattern-file image
  // (pattern_image.h) for every engine alike, chosen by its engine name; both
  // return 1 when done and 0 when the file could not be read or written or
  // was refused, the instrument then left as it was (pattern_file.cpp).
  virtual void print_state();
  virtual int32_t read_state(FILE* file);
  virtual int32_t write_state(FILE* file);
  // Fills `length` bytes of 16-bit signed stereo into `buffer`. Every render
  // starts by running a staged state transfer (state_handoff.h).
  virtual bool render(void* stream, void* buffer, int length, void* user);
  // Puts the sequencer at `step` of the pass (taken modulo the step count)
  // with a fresh step: what the end of a pass does, without the chain moving
  // on, so that a queued pattern takes over here. The rack's start runs it on
  // all five at one block boundary, on the rendering thread.
  virtual void restart_sequencer(int32_t step);

  // Parameter operations (main thread).
  void toggle_power();
  int32_t get_power() const { return power_switch; }
  int32_t volume_up();
  int32_t volume_down();
  void toggle_noise();
  int32_t get_noise() const { return noise_switch; }
  int32_t noise_setting_1_up();
  int32_t noise_setting_1_down();
  int32_t noise_setting_2_up();
  int32_t noise_setting_2_down();
  int32_t noise_setting_3_up();
  int32_t noise_setting_3_down();
  void toggle_distortion();
  int32_t get_distortion() const { return distortion_switch; }
  int32_t distortion_level_up();
  int32_t distortion_level_down();
  int32_t p1_up();
  int32_t p1_down();
  int32_t p2_up();
  int32_t p2_down();
  void toggle_envelope();
  int32_t get_envelope() const { return envelope_switch; }
  int32_t envelope_level_up();
  int32_t envelope_level_down();
  void toggle_filter();
  int32_t get_filter() const { return filter_switch; }
  int32_t filter_level_up();
  int32_t filter_level_down();
  int32_t hicut_up();
  int32_t hicut_down();
  int32_t set_queued_pattern(int32_t n);
  // Asks for pattern n at the next step boundary; pattern 0 too (as
  // queued_pattern_zero), which set_queued_pattern cannot ask for.
  int32_t request_pattern(int32_t n);
  int32_t store_envelope_level(float v);
  int32_t store_filter_level(int32_t n);
  void set_filter_level(int32_t level);

  // Fields, in the order of the pattern-file block.
  void* stream_handle = nullptr;
  char engine_name[engine_name_size] = {};
  shared_int instrument_number;
  shared_int step_count{0};
  shared_int current_step{0};
  shared_int step_sample_counter{0};
  shared_int queued_pattern{0};
  shared_int chain_switch{0};
  shared_int pattern_count{22};
  shared_int current_pattern{0};
  shared_float samples_per_step;
  shared_int power_switch{1};
  shared_float volume{0.5f};
  std::unique_ptr<LFO> envelope_lfo;
  std::unique_ptr<LFO> filter_lfo;
  shared_int noise_switch{0};
  shared_float noise_setting_1{1.0f};
  shared_float noise_setting_2{10000.0f};
  shared_float noise_setting_3{10000.0f};
  shared_int distortion_switch{0};
  shared_float distortion_level{1.0f};
  shared_float p1{1.0f};
  shared_float p2{0.1f};
  shared_int envelope_switch{1};
  shared_float envelope_level{1.0f};
  shared_int filter_switch{0};
  shared_int filter_level{3500};
  shared_float hicut{10.0f};
  shared_float filter_cutoff;
  shared_float filter_damping;
  shared_float filter_coefficient;
  shared_float filter_position{0.0f};
  shared_float filter_velocity{0.0f};

  // Not part of the pattern-file block: the state of the noise generator,
  // touched only by `render` on the audio thread.
  unsigned int noise_seed = 1;

  // A pattern-file load or save waiting for the start of the next render
  // block, and the number of transfers that the rendering side has run
  // (state_handoff.h). Acquire and release order hand the staged image over.
  std::atomic<state_transfer*> staged_transfer{nullptr};
  std::atomic<uint32_t> finished_transfers{0};

  // Set while the rack is stopped (rack_clock.h): `render` then writes
  // silence and the sequencer, the voice and the LFOs stand still.
  std::atomic<bool> halted{false};
};
