#pragma once
// The rack, declared once: which instruments the workstation plays and how
// they are arranged. The program's panels, the plain engines of the audio
// tools, zem-render's rack and the benchmarks are all built from this table,
// so a member added or moved here is added or moved everywhere.
//
// Rows are in construction order. Each construction takes the next number
// from `instrument_counter`, so in a process that builds nothing else first
// the rows are instruments 0, 1, 2, ...: an instrument number is a row, not
// an index into the instrument list, which follows `list_index`.
#include <array>
#include <cstdint>
#include <iterator>
#include <memory>

#include "instrument.h"

enum class instrument_kind { tb303, tb808, osc };

struct rack_member {
  instrument_kind kind;
  // The panel's name, place in the window and panel number. The names that
  // begin with 303 are those of the drum panels, and the panel number 1 is
  // given twice, as the rack has always been arranged.
  const char* panel_name;
  int32_t x, y;
  int32_t panel_number;
  // Where the member stands in the program's instrument list, where an index
  // identifies an instrument (and its panel) everywhere.
  int list_index;
  // The audio channel that its stream starts on; the streams start in
  // channel order.
  int stream_channel;
};

// clang-format off
inline constexpr rack_member rack_members[] = {
    // kind                   panel name  x  y    panel number  list index  stream channel
    {instrument_kind::tb808, "303_1",    0, 0,   0,            1,          2},
    {instrument_kind::tb303, "808_1",    0, 125, 1,            0,          0},
    {instrument_kind::osc,   "OSC_1",    0, 250, 4,            2,          4},
    {instrument_kind::tb303, "808_2",    0, 375, 3,            3,          1},
    {instrument_kind::tb808, "303_2",    0, 500, 1,            4,          3},
};
// clang-format on

inline constexpr int instrument_count = static_cast<int>(std::size(rack_members));

namespace rack_detail {
// True when every member's value of the field is one of 0 .. count - 1, and
// no two members share one.
constexpr bool is_permutation(int rack_member::*field) {
  std::array<bool, instrument_count> seen{};
  for (const rack_member& member : rack_members) {
    const int value = member.*field;
    if (value < 0 || value >= instrument_count || seen[value]) return false;
    seen[value] = true;
  }
  return true;
}
static_assert(is_permutation(&rack_member::list_index), "one member at each list index");
static_assert(is_permutation(&rack_member::stream_channel), "one member on each channel");

constexpr std::array<int, instrument_count> list_indices_by_channel() {
  std::array<int, instrument_count> indices{};
  for (const rack_member& member : rack_members) indices[member.stream_channel] = member.list_index;
  return indices;
}
}  // namespace rack_detail

// The order in which the streams start: by channel from 0, the list index of
// the member whose stream starts on that channel.
inline constexpr std::array<int, instrument_count> stream_start_order =
    rack_detail::list_indices_by_channel();

// A plain engine of that kind, with no panel: it takes the next instrument
// number, as every construction does.
std::unique_ptr<INSTRUMENT> make_instrument(instrument_kind kind);
