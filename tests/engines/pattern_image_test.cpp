// The pattern-file image of each engine: its exact size, every field at its
// offset, zeros at the reference places, round trips that bring back the same
// sound, and the refusal of every file that must not be loaded.
#include "pattern_image.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "field_table.h"
#include "osc.h"
#include "pattern_images.h"
#include "render_frames.h"
#include "tb303.h"
#include "tb808.h"

namespace {

struct engine_case {
  const char* name;
  std::unique_ptr<INSTRUMENT> (*make)();
  size_t size;
  size_t block;  // offset of the INSTRUMENT block
};

template <typename E>
std::unique_ptr<INSTRUMENT> make() {
  return std::make_unique<E>();
}

// A bare instrument has no steps of its own; a file needs at least one.
std::unique_ptr<INSTRUMENT> make_bare() {
  auto bare = std::make_unique<INSTRUMENT>();
  bare->step_count = 1;
  return bare;
}

const engine_case engine_cases[] = {
    {"TB303", &make<TB303>, 260340, 260124},
    {"TB808", &make<TB808>, 260348, 260132},
    {"OSC", &make<OSC>, 1296, 1080},
    {"", &make_bare, 216, 0},
};

// ---- Layout --------------------------------------------------------------------

TEST(PatternImage, EachEngineWritesItsExactSizeWithZerosAtTheReferencePlaces) {
  for (const engine_case& engine : engine_cases) {
    SCOPED_TRACE(engine.name);
    auto instrument = engine.make();
    const image_bytes image = image_of(*instrument);
    ASSERT_EQ(image.size(), engine.size);
    std::vector<size_t> zeros = {engine.block, engine.block + 4, engine.block + 132,
                                 engine.block + 136, engine.block + 140};
    if (engine.block > 0) zeros.insert(zeros.end(), {0, engine.block - 4});
    for (size_t at : zeros) EXPECT_EQ(word_at(image, at), 0u) << at;
    const char* name = reinterpret_cast<const char*>(&image[engine.block + 8]);
    EXPECT_STREQ(name, engine.name);
    EXPECT_EQ(image[engine.block + 8 + 79], 0);
  }
}

// Every field of the INSTRUMENT block with a value of its own.
struct block_place {
  int offset;
  std::function<void(INSTRUMENT&)> set;
  uint32_t word;
};
const std::vector<block_place> block_places = {
    {92, [](INSTRUMENT& i) { i.step_count = 9; }, 9},
    {96, [](INSTRUMENT& i) { i.current_step = 5; }, 5},
    {100, [](INSTRUMENT& i) { i.step_sample_counter = 1234; }, 1234},
    {104, [](INSTRUMENT& i) { i.queued_pattern = 7; }, 7},
    {108, [](INSTRUMENT& i) { i.chain_switch = 1; }, 1},
    {112, [](INSTRUMENT& i) { i.pattern_count = 30; }, 30},
    {116, [](INSTRUMENT& i) { i.current_pattern = 12; }, 12},
    {120, [](INSTRUMENT& i) { i.samples_per_step = 4000.25f; }, std::bit_cast<uint32_t>(4000.25f)},
    {124, [](INSTRUMENT& i) { i.power_switch = 0; }, 0},
    {128, [](INSTRUMENT& i) { i.volume = -0.75f; }, std::bit_cast<uint32_t>(-0.75f)},
    {144, [](INSTRUMENT& i) { i.noise_switch = 1; }, 1},
    {148, [](INSTRUMENT& i) { i.noise_setting_1 = 2.5f; }, std::bit_cast<uint32_t>(2.5f)},
    {152, [](INSTRUMENT& i) { i.noise_setting_2 = 20.0f; }, std::bit_cast<uint32_t>(20.0f)},
    {156, [](INSTRUMENT& i) { i.noise_setting_3 = 0.125f; }, std::bit_cast<uint32_t>(0.125f)},
    {160, [](INSTRUMENT& i) { i.distortion_switch = 1; }, 1},
    {164, [](INSTRUMENT& i) { i.distortion_level = 3.5f; }, std::bit_cast<uint32_t>(3.5f)},
    {168, [](INSTRUMENT& i) { i.p1 = 4.5f; }, std::bit_cast<uint32_t>(4.5f)},
    {172, [](INSTRUMENT& i) { i.p2 = 5.5f; }, std::bit_cast<uint32_t>(5.5f)},
    {176, [](INSTRUMENT& i) { i.envelope_switch = 0; }, 0},
    {180, [](INSTRUMENT& i) { i.envelope_level = 6.5f; }, std::bit_cast<uint32_t>(6.5f)},
    {184, [](INSTRUMENT& i) { i.filter_switch = 1; }, 1},
    {188, [](INSTRUMENT& i) { i.filter_level = -1200; }, static_cast<uint32_t>(-1200)},
    {192, [](INSTRUMENT& i) { i.hicut = 7.5f; }, std::bit_cast<uint32_t>(7.5f)},
    {196, [](INSTRUMENT& i) { i.filter_cutoff = 8.5f; }, std::bit_cast<uint32_t>(8.5f)},
    {200, [](INSTRUMENT& i) { i.filter_damping = 0.25f; }, std::bit_cast<uint32_t>(0.25f)},
    {204, [](INSTRUMENT& i) { i.filter_coefficient = 9.5f; }, std::bit_cast<uint32_t>(9.5f)},
    {208, [](INSTRUMENT& i) { i.filter_position = -10.5f; }, std::bit_cast<uint32_t>(-10.5f)},
    {212, [](INSTRUMENT& i) { i.filter_velocity = 11.5f; }, std::bit_cast<uint32_t>(11.5f)},
};

TEST(PatternImage, InstrumentBlockFieldsStandAtTheirOffsetsLittleEndian) {
  for (const engine_case& engine : engine_cases) {
    SCOPED_TRACE(engine.name);
    auto instrument = engine.make();
    for (const block_place& place : block_places) place.set(*instrument);
    const image_bytes image = image_of(*instrument);
    ASSERT_EQ(image.size(), engine.size);
    EXPECT_EQ(int_at(image, engine.block + 88), instrument->instrument_number);
    EXPECT_EQ(image[engine.block + 100], 1234 % 256);  // the low byte first
    EXPECT_EQ(image[engine.block + 101], 1234 / 256);
    for (const block_place& place : block_places)
      EXPECT_EQ(word_at(image, engine.block + place.offset), place.word) << place.offset;
  }
}

// An engine field, set on the engine and found at its offset.
struct engine_place {
  size_t offset;
  std::function<void(INSTRUMENT&)> set;
  uint32_t word;
};

template <typename E, typename F>
std::function<void(INSTRUMENT&)> on(F set) {
  return [set](INSTRUMENT& i) { set(dynamic_cast<E&>(i)); };
}

size_t tb303_step(int p, int s) {
  return 16 + (p * 255 + s) * 4;
}
size_t tb808_step(int p, int s) {
  return 28 + (p * 255 + s) * 4;
}

TEST(PatternImage, EngineFieldsStandAtTheirOffsets) {
  const uint32_t half = std::bit_cast<uint32_t>(0.5f);
  const std::vector<std::pair<const engine_case*, std::vector<engine_place>>> cases = {
      {&engine_cases[0],
       {{4, on<TB303>([](TB303& e) { e.wave_kind = 3; }), 3},
        {8, on<TB303>([](TB303& e) { e.wave_divisor = 0.5f; }), half},
        {12, on<TB303>([](TB303& e) { e.wave_offset = 2.0f; }), std::bit_cast<uint32_t>(2.0f)},
        {tb303_step(0, 0), on<TB303>([](TB303& e) { e.pattern_memory[0][0] = 0.5f; }), half},
        {tb303_step(3, 7), on<TB303>([](TB303& e) { e.pattern_memory[3][7] = 440.0f; }),
         std::bit_cast<uint32_t>(440.0f)},
        {tb303_step(254, 254), on<TB303>([](TB303& e) { e.pattern_memory[254][254] = 0.5f; }),
         half},
        {260116, on<TB303>([](TB303& e) { e.phase = 0.5f; }), half}}},
      {&engine_cases[1],
       {{4, on<TB808>([](TB808& e) { e.pitch_depth = 77; }), 77},
        {8, on<TB808>([](TB808& e) { e.pitch_decay = 0.5f; }), half},
        {12, on<TB808>([](TB808& e) { e.drum_level = 0.5f; }), half},
        {16, on<TB808>([](TB808& e) { e.phase_factor = 0.5f; }), half},
        {20, on<TB808>([](TB808& e) { e.pitch_factor = 0.5f; }), half},
        {24, on<TB808>([](TB808& e) { e.drum_phase = 0.5f; }), half},
        {tb808_step(0, 1), on<TB808>([](TB808& e) { e.pattern_memory[0][1] = 1; }), 1},
        {tb808_step(9, 4), on<TB808>([](TB808& e) { e.pattern_memory[9][4] = 1; }), 1},
        {tb808_step(254, 254), on<TB808>([](TB808& e) { e.pattern_memory[254][254] = -2; }),
         static_cast<uint32_t>(-2)},
        // A queued 0 is none in a file: a request for pattern 0 is saved as taken.
        {260132 + 104, on<TB808>([](TB808& e) { e.current_pattern = 5, e.request_pattern(0); }), 0},
        {260132 + 116, on<TB808>([](TB808&) {}), 0}}},
      {&engine_cases[2],
       {{4, on<OSC>([](OSC& e) { e.osc1_wave = 5; }), 5},
        {12, on<OSC>([](OSC& e) { e.osc3_wave = 6; }), 6},
        {16, on<OSC>([](OSC& e) { e.osc1_on = 7; }), 7},
        {24, on<OSC>([](OSC& e) { e.osc3_on = 8; }), 8},
        {28, on<OSC>([](OSC& e) { e.osc1_factor = 0.5f; }), half},
        {36, on<OSC>([](OSC& e) { e.osc3_factor = 0.5f; }), half},
        {40, on<OSC>([](OSC& e) { e.osc1_offset = 0.5f; }), half},
        {48, on<OSC>([](OSC& e) { e.osc3_offset = 0.5f; }), half},
        {52, on<OSC>([](OSC& e) { e.step_frequencies[0] = 0.5f; }), half},
        {52 + 254 * 4, on<OSC>([](OSC& e) { e.step_frequencies[254] = 0.5f; }), half},
        {1072, on<OSC>([](OSC& e) { e.phase = 0.5f; }), half}}},
  };
  for (const auto& [engine, places] : cases) {
    SCOPED_TRACE(engine->name);
    auto instrument = engine->make();
    for (const engine_place& place : places) place.set(*instrument);
    const image_bytes image = image_of(*instrument);
    ASSERT_EQ(image.size(), engine->size);
    for (const engine_place& place : places)
      EXPECT_EQ(word_at(image, place.offset), place.word) << place.offset;
  }
}

// The field tables and the reference places cover every byte of each image
// exactly once: no field overlaps another or stands outside the file, and no
// word is left out.
TEST(PatternImage, FieldTablesCoverEachImageExactlyOnce) {
  for (const engine_case& engine : engine_cases) {
    SCOPED_TRACE(engine.name);
    auto instrument = engine.make();
    const image_layout layout = image_layout_of(*instrument);
    ASSERT_EQ(static_cast<size_t>(layout.size), engine.size);
    ASSERT_EQ(static_cast<size_t>(layout.block_offset), engine.block);
    std::vector<int> uses(engine.size, 0);
    const auto cover = [&](size_t at, size_t bytes) {
      for (size_t k = at; k < at + bytes && k < uses.size(); ++k) ++uses[k];
      EXPECT_LE(at + bytes, uses.size()) << at;
    };
    const auto cover_table = [&](field_table table, size_t base) {
      for (const field_spec& spec : table)
        if (spec.in_file()) cover(base + spec.offset, 4u * spec.rows() * spec.row_length());
    };
    cover_table(layout.engine_fields, 0);
    cover_table(instrument_fields(), engine.block);
    for (size_t at : {0, 4, 132, 136, 140}) cover(engine.block + at, 4);  // references, reserved
    cover(engine.block + 8, 80);                                          // engine_name
    if (engine.block > 0) {
      cover(0, 4);
      cover(engine.block - 4, 4);
    }
    for (size_t k = 0; k < uses.size(); ++k) ASSERT_EQ(uses[k], 1) << "byte " << k;
  }
}

// ---- Round trips -----------------------------------------------------------------

// Moves an instrument away from its defaults: a pattern and step position of
// its own, stages on, a few frames rendered into a step.
void play_somewhere(INSTRUMENT& instrument) {
  instrument.pattern_count = 40;
  instrument.current_pattern = 5;
  instrument.current_step = 3;
  instrument.chain_switch = 1;
  instrument.filter_switch = 1;
  instrument.distortion_switch = 1;
  instrument.set_filter_level(2200);
  if (auto* bass = dynamic_cast<TB303*>(&instrument)) {
    for (int s = 0; s < 16; ++s) bass->pattern_memory[5][s] = 110.0f + 20.0f * s;
    bass->wave_kind = 3;
  } else if (auto* drum = dynamic_cast<TB808*>(&instrument)) {
    for (int s = 0; s < 8; s += 3) drum->pattern_memory[5][s] = 1;
    drum->pattern_memory[6][1] = 1;
    drum->pitch_depth = 900;
  } else if (auto* oscillators = dynamic_cast<OSC*>(&instrument)) {
    for (int s = 0; s < 8; ++s) oscillators->step_frequencies[s] = 200.0f + 30.0f * s;
    oscillators->osc3_on = 1;
  }
  render_frames(instrument, 1000);
}

TEST(PatternImage, RoundTripPlaysTheSamePatternsFromTheSamePosition) {
  for (const engine_case& engine : engine_cases) {
    if (engine.block == 0) continue;  // a bare instrument plays nothing
    SCOPED_TRACE(engine.name);
    auto saved = engine.make();
    play_somewhere(*saved);
    const image_bytes image = image_of(*saved);

    auto loaded = engine.make();  // other random notes, its own number and LFOs
    loaded->envelope_lfo->period = 64.0f;
    const LFO* own_lfo = loaded->envelope_lfo.get();
    const int32_t own_number = loaded->instrument_number;
    ASSERT_EQ(read_image(*loaded, image), 1);
    EXPECT_EQ(loaded->instrument_number, own_number);
    EXPECT_EQ(loaded->envelope_lfo.get(), own_lfo);
    EXPECT_EQ(loaded->envelope_lfo->period, 64.0f);
    EXPECT_EQ(loaded->current_pattern, 5);
    EXPECT_EQ(loaded->current_step, saved->current_step);
    EXPECT_EQ(loaded->step_sample_counter, saved->step_sample_counter);
    // The loaded instrument writes the same file, apart from its own number.
    image_bytes reloaded = image_of(*loaded);
    put_int(reloaded, engine.block + 88, saved->instrument_number);
    EXPECT_EQ(reloaded, image);
    // Three passes and more, across pattern changes of the chain.
    const int frames = 3 * 16 * frames_per_step;
    EXPECT_EQ(render_frames(*loaded, frames), render_frames(*saved, frames));
  }
}

// ---- Refusals ----------------------------------------------------------------------

const float not_a_number = std::numeric_limits<float>::quiet_NaN();
const float infinity = std::numeric_limits<float>::infinity();

struct damage_case {
  const engine_case* engine;
  std::function<void(image_bytes&, size_t block)> damage;
  std::string reason;  // empty: the file is loaded
};

std::function<void(image_bytes&, size_t)> int_in_block(size_t offset, int32_t value) {
  return [=](image_bytes& image, size_t block) { put_int(image, block + offset, value); };
}
std::function<void(image_bytes&, size_t)> float_at_offset(size_t offset, float value) {
  return [=](image_bytes& image, size_t) { put_float(image, offset, value); };
}
std::function<void(image_bytes&, size_t)> float_in_block(size_t offset, float value) {
  return [=](image_bytes& image, size_t block) { put_float(image, block + offset, value); };
}
std::function<void(image_bytes&, size_t)> named(const char* name) {
  return [=](image_bytes& image, size_t block) {
    std::memset(&image[block + 8], 0, 80);
    std::memcpy(&image[block + 8], name, std::strlen(name));
  };
}
std::function<void(image_bytes&, size_t)> sized(size_t size) {
  return [=](image_bytes& image, size_t) { image.resize(size, 0); };
}

TEST(PatternImage, BadFilesAreRefusedAndLeaveTheInstrumentAsItWas) {
  const engine_case* bass = &engine_cases[0];
  const engine_case* drum = &engine_cases[1];
  const engine_case* synth = &engine_cases[2];
  const engine_case* bare = &engine_cases[3];
  const std::vector<damage_case> cases = {
      // Size and engine name.
      {drum, sized(1296), "not a TB808 pattern file: 1296 bytes"},
      {bass, sized(260339), "not a TB303 pattern file: 260339 bytes"},
      {bass, sized(260341), "not a TB303 pattern file: 260341 bytes"},
      {synth, sized(0), "not an OSC pattern file: 0 bytes"},
      {bare, sized(1296), "not an INSTRUMENT pattern file: 1296 bytes"},
      {synth, named("TB303"), "not an OSC pattern file: engine name \"TB303\""},
      {bass, named("TB303\n"), "engine name \"TB303?\""},
      {bare, named("OSC"), "not an INSTRUMENT pattern file: engine name \"OSC\""},
      {drum, [](image_bytes& i, size_t b) { std::memset(&i[b + 8], 'T', 80); },
       "its engine name is not terminated"},
      {drum, [](image_bytes& i, size_t b) { i[b + 8 + 79] = 'x'; }, ""},  // after the end
      // The sequencer must stay inside the memory.
      {bass, int_in_block(92, 0), "step_count 0 is outside 1 to 255"},
      {drum, int_in_block(92, 256), "step_count 256 is outside 1 to 255"},
      {bare, int_in_block(92, 255), ""},
      {bass, int_in_block(96, -1), "current_step -1 is outside 0 to 254"},
      {synth, int_in_block(96, 255), "current_step 255 is outside 0 to 254"},
      {drum, int_in_block(104, 255), "queued_pattern 255 is outside 0 to 254"},
      {bass, int_in_block(104, 254), ""},
      {bass, int_in_block(112, 0), "pattern_count 0 is outside 1 to 255"},
      {synth, int_in_block(112, 256), "pattern_count 256 is outside 1 to 255"},
      {drum, int_in_block(116, 255), "current_pattern 255 is outside 0 to 254"},
      {bass, int_in_block(116, -2147483647 - 1), "current_pattern -2147483648 is outside"},
      // Finite numbers only, samples_per_step at least 1.
      {bass, float_in_block(120, 0.5f), "samples_per_step 0.5 is below 1"},
      {synth, float_in_block(120, infinity), "samples_per_step is not a finite number"},
      {bare, float_in_block(120, 1.0f), ""},
      {drum, float_in_block(128, not_a_number), "volume is not a finite number"},
      {bare, float_in_block(212, -infinity), "filter_velocity is not a finite number"},
      {bass, float_at_offset(tb303_step(254, 254), not_a_number),
       "pattern_memory[254][254] is not a finite number"},
      {bass, float_at_offset(tb303_step(1, 0), infinity),
       "pattern_memory[1][0] is not a finite number"},
      {synth, float_at_offset(32, infinity), "osc2_factor is not a finite number"},
      {synth, float_at_offset(52 + 7 * 4, -infinity), "step_frequencies[7] is not a finite"},
      {drum, float_at_offset(24, not_a_number), "drum_phase is not a finite number"},
      // Any integer in a drum step (only 1 sounds), any reference word.
      {drum, [](image_bytes& i, size_t) { put_int(i, tb808_step(3, 3), -5); }, ""},
      {bass, [](image_bytes& i, size_t b) { put_int(i, b + 132, 77); }, ""},
  };
  for (const damage_case& c : cases) {
    auto instrument = c.engine->make();
    SCOPED_TRACE(std::string(c.engine->name) + ": " + c.reason);
    play_somewhere(*instrument);
    const image_bytes before = image_of(*instrument);
    auto other = c.engine->make();
    other->current_step = 1;  // a file that differs from the instrument
    image_bytes file = image_of(*other);
    c.damage(file, c.engine->block);

    const std::string refusal = image_refusal(*instrument, file);
    const int32_t loaded = read_image(*instrument, file);
    if (c.reason.empty()) {
      EXPECT_EQ(refusal, "");
      EXPECT_EQ(loaded, 1);
      continue;
    }
    EXPECT_NE(refusal.find(c.reason), std::string::npos) << refusal;
    EXPECT_EQ(refusal.find('\n'), std::string::npos);
    EXPECT_EQ(loaded, 0);
    EXPECT_EQ(image_of(*instrument), before);
    EXPECT_STREQ(instrument->engine_name, c.engine->name);
  }
}

}  // namespace
