// stream_callback: the engine is chosen by the instrument's name, and only an
// instrument that really is that engine is rendered.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "osc.h"
#include "stream_callback.h"
#include "tb303.h"
#include "tb808.h"

namespace {
constexpr int bytes = 65536;  // more than one step

std::vector<unsigned char> through_callback(INSTRUMENT& instrument) {
  std::vector<unsigned char> buffer(bytes, 0x55);
  EXPECT_EQ(stream_callback(nullptr, buffer.data(), bytes, &instrument), 1);
  return buffer;
}

template <typename Engine>
void expect_same_as_direct_render() {
  // Engines may fill their patterns with random values: both start from the same.
  std::srand(3);
  Engine through;
  std::srand(3);
  Engine direct;
  std::vector<unsigned char> expected(bytes, 0x55);
  direct.render(nullptr, expected.data(), bytes, &direct);
  // Two blocks in a row, so that the running state carries on as well.
  for (int block = 0; block < 2; ++block) {
    EXPECT_EQ(through_callback(through), expected) << through.engine_name << " block " << block;
    direct.render(nullptr, expected.data(), bytes, &direct);
  }
}

TEST(AppStreamCallback, RendersEachEngineExactlyAsItsOwnRender) {
  expect_same_as_direct_render<TB303>();
  expect_same_as_direct_render<TB808>();
  expect_same_as_direct_render<OSC>();
}

TEST(AppStreamCallback, UnknownNameLeavesTheBufferAndTheSequencerUntouched) {
  TB303 bass;
  for (const char* name : {"TB909", "", "tb303", "TB3030", "OSC "}) {
    std::memset(bass.engine_name, 0, sizeof bass.engine_name);
    std::memcpy(bass.engine_name, name, std::strlen(name));
    EXPECT_EQ(through_callback(bass), std::vector<unsigned char>(bytes, 0x55)) << name;
  }
  // A name without its terminating zero is compared no further than the end
  // of the known names.
  std::memset(bass.engine_name, 'T', sizeof bass.engine_name);
  EXPECT_EQ(through_callback(bass), std::vector<unsigned char>(bytes, 0x55));
  EXPECT_EQ(bass.step_sample_counter, 0);
  EXPECT_EQ(bass.current_step, 0);
}

TEST(AppStreamCallback, NameOfAnotherEngineDoesNotRunThatEngineOnTheInstrument) {
  // A pattern file of a drum machine loaded into a bass line brings the name
  // "TB808" with it; the bass line must not be rendered as a drum machine.
  TB303 bass;
  std::strcpy(bass.engine_name, "TB808");
  EXPECT_EQ(through_callback(bass), std::vector<unsigned char>(bytes, 0x55));
  INSTRUMENT bare;
  std::strcpy(bare.engine_name, "OSC");
  EXPECT_EQ(through_callback(bare), std::vector<unsigned char>(bytes, 0x55));
}
}  // namespace
