// The field registry behind --set: every name reaches its own field, indices
// and values are checked, and a refused setting writes nothing.
#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "field_registry.h"
#include "osc.h"
#include "tb303.h"
#include "tb808.h"

namespace {

std::string set_error(INSTRUMENT& instrument, std::string_view field, std::string_view value) {
  std::string error;
  EXPECT_FALSE(set_field(instrument, field, value, error)) << field << "=" << value;
  EXPECT_EQ(error.find('\n'), std::string::npos);
  return error;
}

void set_ok(INSTRUMENT& instrument, std::string_view field, std::string_view value) {
  std::string error;
  EXPECT_TRUE(set_field(instrument, field, value, error)) << field << ": " << error;
}

// The address range of an object, and of its two LFO records.
bool owned_by(const INSTRUMENT& instrument, size_t object_size, const void* field) {
  const auto inside = [field](const void* start, size_t size) {
    const char* p = static_cast<const char*>(field);
    const char* s = static_cast<const char*>(start);
    return p >= s && p + 4 <= s + size;
  };
  return inside(dynamic_cast<const void*>(&instrument), object_size) ||
         inside(instrument.envelope_lfo.get(), sizeof(LFO)) ||
         inside(instrument.filter_lfo.get(), sizeof(LFO));
}

template <typename E>
void expect_distinct_fields() {
  auto engine = std::make_unique<E>();
  std::set<const void*> seen;
  std::set<std::string_view> names;
  const field_table tables[] = {instrument_fields(), engine_fields(*engine)};
  for (const field_table table : tables) {
    for (const field_spec& spec : table) {
      EXPECT_TRUE(names.insert(spec.name).second) << "two fields named " << spec.name;
      // The first and the last element of arrays, so that the bounds are real.
      for (const int32_t k : {0, 1}) {
        const int32_t i = k ? std::max(spec.extents[0] - 1, 0) : 0;
        const int32_t j = k ? std::max(spec.extents[1] - 1, 0) : 0;
        const field_location at = spec.locate(*engine, i, j);
        ASSERT_NE(at.integer == nullptr, at.real == nullptr) << spec.name;
        const void* address = at.integer ? static_cast<const void*>(at.integer) : at.real;
        EXPECT_TRUE(owned_by(*engine, sizeof(E), address)) << spec.name;
        if (k == 0 || spec.dimensions() > 0) {
          EXPECT_TRUE(seen.insert(address).second) << spec.name << " shares its field";
        }
      }
    }
  }
}

}  // namespace

TEST(RenderFields, EveryNameReachesAFieldOfItsOwn) {
  expect_distinct_fields<TB303>();
  expect_distinct_fields<TB808>();
  expect_distinct_fields<OSC>();
}

TEST(RenderFields, SettingsReachTheNamedFields) {
  TB303 bass;
  set_ok(bass, "volume", "0.8");
  set_ok(bass, "wave_kind", "3");
  set_ok(bass, "filter_level", "-300");
  set_ok(bass, "pattern_memory[254][3]", "440.5");
  set_ok(bass, "envelope_lfo.on", "1");
  set_ok(bass, "filter_lfo.period", "2e1");
  set_ok(bass, "p2", "+4");
  EXPECT_EQ(bass.volume, 0.8f);
  EXPECT_EQ(bass.wave_kind, 3);
  EXPECT_EQ(bass.filter_level, -300);
  EXPECT_EQ(bass.pattern_memory[254][3], 440.5f);
  EXPECT_EQ(bass.envelope_lfo->on, 1);
  EXPECT_EQ(bass.filter_lfo->on, 0);
  EXPECT_EQ(bass.filter_lfo->period, 20.0f);
  EXPECT_EQ(bass.p2, 4.0f);

  TB808 drum;
  set_ok(drum, "pattern_memory[3][7]", "1");
  set_ok(drum, "pitch_depth", "-20");
  set_ok(drum, "pitch_decay", "0.5");
  EXPECT_EQ(drum.pattern_memory[3][7], 1);
  EXPECT_EQ(drum.pattern_memory[7][3], 0);
  EXPECT_EQ(drum.pitch_depth, -20);
  EXPECT_EQ(drum.pitch_decay, 0.5f);

  OSC oscillators;
  set_ok(oscillators, "step_frequencies[2]", "440");
  set_ok(oscillators, "osc3_on", "1");
  set_ok(oscillators, "phase", "0.25");
  EXPECT_EQ(oscillators.step_frequencies[2], 440.0f);
  EXPECT_EQ(oscillators.osc3_on, 1);
  EXPECT_EQ(oscillators.phase, 0.25f);
}

TEST(RenderFields, RefusedSettingsWriteNothing) {
  TB303 bass;
  const float before = bass.pattern_memory[0][0];
  EXPECT_NE(set_error(bass, "bogus", "1").find("unknown field 'bogus' for TB303"),
            std::string::npos);
  EXPECT_NE(set_error(bass, "pitch_depth", "1").find("unknown field"), std::string::npos);
  EXPECT_NE(set_error(bass, "envelope_lfo", "1").find("unknown field"), std::string::npos);
  EXPECT_NE(set_error(bass, "engine_name", "X").find("unknown field"), std::string::npos);
  EXPECT_NE(set_error(bass, "wave_kind", "1.0").find("needs an integer"), std::string::npos);
  EXPECT_NE(set_error(bass, "wave_kind", "2147483648").find("needs an integer"), std::string::npos);
  EXPECT_NE(set_error(bass, "volume", "inf").find("finite number"), std::string::npos);
  EXPECT_NE(set_error(bass, "volume", "0,5").find("finite number"), std::string::npos);
  EXPECT_NE(set_error(bass, "pattern_memory", "1").find("takes 2 index"), std::string::npos);
  EXPECT_NE(set_error(bass, "pattern_memory[0]", "1").find("takes 2 index"), std::string::npos);
  EXPECT_NE(set_error(bass, "volume[0]", "1").find("takes 0 index"), std::string::npos);
  EXPECT_NE(set_error(bass, "pattern_memory[255][0]", "1").find("out of range (0 to 254)"),
            std::string::npos);
  EXPECT_NE(set_error(bass, "pattern_memory[0][-1]", "1").find("out of range"), std::string::npos);
  EXPECT_NE(set_error(bass, "pattern_memory[0][x]", "1").find("malformed index"),
            std::string::npos);
  EXPECT_NE(set_error(bass, "pattern_memory[0][0][0]", "1").find("malformed"), std::string::npos);
  EXPECT_NE(set_error(bass, "pattern_memory[0][0", "1").find("malformed"), std::string::npos);
  EXPECT_NE(set_error(bass, "pattern_memory[0]x[0]", "1").find("malformed"), std::string::npos);
  EXPECT_NE(set_error(bass, "[0]", "1").find("malformed"), std::string::npos);
  EXPECT_EQ(bass.pattern_memory[0][0], before);
  EXPECT_EQ(bass.volume, 0.5f);
  EXPECT_EQ(bass.wave_kind, 1);

  OSC oscillators;
  EXPECT_NE(set_error(oscillators, "step_frequencies[255]", "1").find("out of range (0 to 254)"),
            std::string::npos);
  EXPECT_NE(set_error(oscillators, "osc1_on", "yes").find("needs an integer"), std::string::npos);
}
