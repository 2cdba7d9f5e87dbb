// The rack of five: start-up order and numbering, and mixing in pieces.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "rack.h"

TEST(Rack, BuildsTheFiveInStartUpOrderWithNumbersFromTheCounter) {
  const int32_t first = instrument_counter;
  engine_rack rack;
  EXPECT_EQ(instrument_counter, first + 5);
  const char* names[] = {"TB808", "TB303", "OSC", "TB303", "TB808"};
  for (int k = 0; k < instrument_count; ++k) {
    EXPECT_STREQ(rack.instrument(k).engine_name, names[k]);
    EXPECT_EQ(rack.instrument(k).instrument_number, first + k);
    EXPECT_EQ(rack.find_by_number(first + k), &rack.instrument(k));
  }
  EXPECT_EQ(&rack.instrument(0), &rack.first_drum());
  EXPECT_EQ(&rack.instrument(1), &rack.first_bass());
  EXPECT_EQ(&rack.instrument(2), &rack.oscillators());
  EXPECT_EQ(&rack.instrument(3), &rack.second_bass());
  EXPECT_EQ(&rack.instrument(4), &rack.second_drum());
  EXPECT_EQ(rack.find_by_number(first + 5), nullptr);
  EXPECT_EQ(rack.find_by_number(first - 1), nullptr);
}

// The sound does not depend on how the frames are cut into calls.
TEST(Rack, RenderingInPiecesEqualsRenderingAtOnce) {
  std::srand(1);
  engine_rack whole;
  std::srand(1);
  engine_rack pieces;
  for (engine_rack* rack : {&whole, &pieces}) {
    for (int step = 0; step < 8; step += 3) rack->first_drum().pattern_memory[0][step] = 1;
    rack->second_bass().filter_switch = 1;
    rack->oscillators().volume = 1.0f;
  }
  constexpr int frames = 3 * engine_rack::block_frames + 77;
  std::vector<int16_t> at_once(2 * frames), in_pieces(2 * frames, 1);
  whole.render_mixed(at_once.data(), frames);
  int done = 0;
  for (int piece : {1, engine_rack::block_frames - 1, engine_rack::block_frames + 5, 2}) {
    pieces.render_mixed(in_pieces.data() + 2 * done, piece);
    done += piece;
  }
  pieces.render_mixed(in_pieces.data() + 2 * done, frames - done);
  EXPECT_EQ(in_pieces, at_once);
  EXPECT_NE(std::count(at_once.begin(), at_once.end(), 0), frames * 2);
}
