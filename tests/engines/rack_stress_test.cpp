// Stress: one thread edits everything the panels can edit, and loads
// pattern files of the instruments, as fast as it can, while one
// thread per instrument renders, as the audio streams do. Under
// ThreadSanitizer this must report nothing (every field the two sides share is
// a shared field); in any build the output must stay within the limits, the
// sequencers must keep running and stay inside the pattern memory, whatever
// is queued or chained.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string_view>
#include <thread>
#include <vector>

#include "rack.h"
#include "step_events.h"

namespace {

constexpr auto run_time = std::chrono::milliseconds(2500);
constexpr int max_instrument_number = 64;

std::atomic<int> pass_ends[max_instrument_number];
std::atomic<int> step_starts[max_instrument_number];

// Counts the events per instrument number.
void count_event(const step_event& event) {
  if (event.instrument >= 0 && event.instrument < max_instrument_number)
    (event.code == pass_end_event_code ? pass_ends : step_starts)[event.instrument].fetch_add(1);
}

struct render_report {
  int64_t frames = 0;
  int peak = 0;  // largest absolute sample
};

void render_until(INSTRUMENT& instrument, const std::atomic<bool>& stop, render_report& report) {
  std::vector<int16_t> block(2 * 512);
  while (!stop.load()) {
    instrument.render(nullptr, block.data(), int(block.size() * 2), nullptr);
    for (int16_t s : block) report.peak = std::max(report.peak, std::abs(int(s)));
    report.frames += 512;
  }
}

// Every operation the panels perform, on the shared voice chain, the LFOs,
// the patterns and each engine's own parameters, and the load of each
// instrument's saved pattern file (`blocks`, one open file per instrument).
std::vector<std::function<void(std::mt19937&)>> editing_operations(
    engine_rack& rack, const std::vector<FILE*>& blocks) {
  std::vector<std::function<void(std::mt19937&)>> ops;
  for (int k = 0; k < instrument_count; ++k) {
    INSTRUMENT* i = &rack.instrument(k);
    FILE* block = blocks[k];
    ops.push_back([i, block](std::mt19937&) {
      std::rewind(block);
      if (i->read_state(block) != 1) ADD_FAILURE() << "pattern file load failed";
    });
    for (void (INSTRUMENT::*toggle)() :
         {&INSTRUMENT::toggle_power, &INSTRUMENT::toggle_noise, &INSTRUMENT::toggle_distortion,
          &INSTRUMENT::toggle_envelope, &INSTRUMENT::toggle_filter})
      ops.push_back([i, toggle](std::mt19937&) { (i->*toggle)(); });
    for (int32_t (INSTRUMENT::*step)() : {&INSTRUMENT::volume_up,
                                          &INSTRUMENT::volume_down,
                                          &INSTRUMENT::noise_setting_1_up,
                                          &INSTRUMENT::noise_setting_1_down,
                                          &INSTRUMENT::noise_setting_2_up,
                                          &INSTRUMENT::noise_setting_2_down,
                                          &INSTRUMENT::noise_setting_3_up,
                                          &INSTRUMENT::noise_setting_3_down,
                                          &INSTRUMENT::distortion_level_up,
                                          &INSTRUMENT::distortion_level_down,
                                          &INSTRUMENT::p1_up,
                                          &INSTRUMENT::p1_down,
                                          &INSTRUMENT::p2_up,
                                          &INSTRUMENT::p2_down,
                                          &INSTRUMENT::envelope_level_up,
                                          &INSTRUMENT::envelope_level_down,
                                          &INSTRUMENT::filter_level_up,
                                          &INSTRUMENT::filter_level_down,
                                          &INSTRUMENT::hicut_up,
                                          &INSTRUMENT::hicut_down})
      ops.push_back([i, step](std::mt19937&) { (i->*step)(); });
    // Queued patterns past the 255 of the memory too.
    ops.push_back([i](std::mt19937& random) { i->set_queued_pattern(int32_t(random() % 300)); });
    ops.push_back([i](std::mt19937& random) { i->chain_switch = int32_t(random() % 2); });
    ops.push_back([i](std::mt19937& random) { i->store_envelope_level(float(random() % 3)); });
    ops.push_back([i](std::mt19937& random) { i->store_filter_level(int32_t(random() % 9000)); });
    for (LFO* lfo : {i->envelope_lfo.get(), i->filter_lfo.get()}) {
      ops.push_back([lfo](std::mt19937&) { lfo->toggle(); });
      for (int32_t (LFO::*step)() :
           {&LFO::amplitude_up, &LFO::amplitude_down, &LFO::period_up, &LFO::period_down,
            &LFO::third_setting_up, &LFO::third_setting_down})
        ops.push_back([lfo, step](std::mt19937&) { (lfo->*step)(); });
    }
  }
  for (TB808* drum : {&rack.first_drum(), &rack.second_drum()}) {
    ops.push_back([drum](std::mt19937& random) {
      shared_int& step = drum->pattern_memory[random() % 30][random() % 8];
      step = step == 1 ? 0 : 1;
    });
    ops.push_back([drum](std::mt19937& random) { drum->pitch_depth = int32_t(random() % 3000); });
    ops.push_back(
        [drum](std::mt19937& random) { drum->pitch_decay = 0.99f + 0.001f * (random() % 10); });
    ops.push_back([drum](std::mt19937& random) { drum->drum_level = float(random() % 12); });
    ops.push_back([drum](std::mt19937& random) { drum->phase_factor = 0.5f * (random() % 5); });
  }
  for (TB303* bass : {&rack.first_bass(), &rack.second_bass()}) {
    ops.push_back([bass](std::mt19937& random) {
      bass->pattern_memory[random() % 30][random() % 16] = float(random() % 2000);
    });
    ops.push_back([bass](std::mt19937& random) { bass->wave_kind = int32_t(random() % 7); });
    ops.push_back([bass](std::mt19937& random) { bass->wave_divisor = 0.5f * (random() % 4); });
    ops.push_back([bass](std::mt19937& random) { bass->wave_offset = 0.25f * (random() % 4); });
  }
  OSC& osc = rack.oscillators();
  ops.push_back([&osc](std::mt19937& random) {
    osc.step_frequencies[random() % 8] = float(random() % 2000);
  });
  for (shared_int* on : {&osc.osc1_on, &osc.osc2_on, &osc.osc3_on})
    ops.push_back([on](std::mt19937&) { *on = *on ? 0 : 1; });
  for (shared_int* wave : {&osc.osc1_wave, &osc.osc2_wave, &osc.osc3_wave})
    ops.push_back([wave](std::mt19937&) { *wave = *wave % 3 + 1; });
  for (shared_float* setting : {&osc.osc1_factor, &osc.osc2_factor, &osc.osc3_factor,
                                &osc.osc1_offset, &osc.osc2_offset, &osc.osc3_offset})
    ops.push_back([setting](std::mt19937& random) { *setting = 0.05f * (random() % 40); });
  return ops;
}

}  // namespace

TEST(RackStress, EditingWhileRenderingStaysInBoundsAndKeepsTime) {
  set_step_event_poster(&count_event);
  engine_rack rack;
  // Short steps, so that step boundaries, pattern changes and pass ends come
  // thousands of times during the run.
  std::vector<FILE*> blocks;
  int streams[instrument_count];
  for (INSTRUMENT* instrument : rack.instruments()) {
    instrument->samples_per_step = 100.5f;
    ASSERT_LT(instrument->instrument_number, max_instrument_number);
    blocks.push_back(std::tmpfile());
    ASSERT_NE(blocks.back(), nullptr);
    ASSERT_EQ(instrument->write_state(blocks.back()), 1);
    // Each instrument has a stream that renders it: loads are taken over
    // between its render blocks.
    instrument->stream_handle = &streams[blocks.size() - 1];
  }

  // The editor stops first: a load it has staged is still taken over by a
  // render block.
  std::atomic<bool> stop_editing{false};
  std::atomic<bool> stop{false};
  std::vector<render_report> reports(instrument_count);
  std::vector<std::thread> renderers;
  for (int k = 0; k < instrument_count; ++k)
    renderers.emplace_back(render_until, std::ref(rack.instrument(k)), std::cref(stop),
                           std::ref(reports[k]));

  int64_t edits = 0;
  std::thread editor([&] {
    const auto ops = editing_operations(rack, blocks);
    std::mt19937 random(2024);
    while (!stop_editing.load()) {
      ops[random() % ops.size()](random);
      ++edits;
    }
  });
  std::this_thread::sleep_for(run_time);
  stop_editing = true;
  editor.join();
  stop = true;
  for (std::thread& renderer : renderers) renderer.join();
  set_step_event_poster(nullptr);
  for (FILE* block : blocks) std::fclose(block);

  EXPECT_GT(edits, 300);  // a load waits for a render block
  for (int k = 0; k < instrument_count; ++k) {
    const INSTRUMENT& instrument = rack.instrument(k);
    const int number = instrument.instrument_number;
    SCOPED_TRACE(instrument.engine_name);
    // The bass line limits after the volume; the drums and the oscillators
    // limit before it, and the volume can reach 1.0099995.
    const bool limit_after_volume = std::string_view(instrument.engine_name) == "TB303";
    EXPECT_LE(reports[k].peak, limit_after_volume ? 32000 : 32320);
    EXPECT_GT(reports[k].frames, 0);
    EXPECT_GT(pass_ends[number].load(), 0) << "the sequencer must keep advancing";
    if (std::string_view(instrument.engine_name) != "OSC") {  // the OSC only counts passes
      EXPECT_GE(instrument.current_pattern, 0);
      EXPECT_LT(instrument.current_pattern, 255);
    }
    EXPECT_GE(instrument.current_step, 0);
    EXPECT_LT(instrument.current_step, instrument.step_count);
    if (!limit_after_volume) {
      EXPECT_GT(step_starts[number].load(), pass_ends[number].load());
    }
  }
}
