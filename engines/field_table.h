#pragma once
// The fields of an instrument, each declared once: its name (as zem-render's
// --set takes it), where it lives in the object, where it stands in the
// pattern file (or, for what the pattern file leaves out, in the settings
// record of a session file) and which values a file may hold for it. The
// pattern-file codec, the instrument's 216-byte block, the session's settings
// record and --set all read these tables, so a field added or moved cannot
// drift between them.
//
// Offsets: the fields of INSTRUMENT are placed from the start of its 216-byte
// block, an engine's own fields from the start of the engine's file image.
// Arrays are stored element after element, row by row, 4 bytes each.
#include <cstdint>
#include <limits>
#include <span>
#include <string_view>
#include <type_traits>

#include "instrument.h"

// Where one field lives: exactly one of the two is set.
struct field_location {
  shared_int* integer = nullptr;
  shared_float* real = nullptr;
};

enum class field_type { integer, real };

// The offset of a field that a file does not hold: the pattern file leaves
// out the LFO settings, the session's settings record holds only those.
constexpr int32_t not_in_file = -1;

struct field_spec {
  std::string_view name;
  field_type type = field_type::integer;
  int32_t offset = not_in_file;  // byte offset of the first element in the file
  int32_t extents[2] = {0, 0};   // bounds of the first and second index; 0: no such index
  double low = -std::numeric_limits<double>::infinity();  // values a file may hold,
  double high = std::numeric_limits<double>::infinity();  // floats must also be finite
  bool kept_on_load = false;  // written to the file, but the instrument keeps its own value
  // The field, or for an array the element [i][j].
  field_location (*locate)(INSTRUMENT& instrument, int32_t i, int32_t j) = nullptr;
  // Byte offset in the instrument's settings record of a session file, which
  // holds what the pattern file leaves out.
  int32_t settings_offset = not_in_file;

  int dimensions() const { return (extents[0] > 0) + (extents[1] > 0); }
  bool in_file() const { return offset != not_in_file; }
  // An array is walked row by row: a scalar is one row of one element, a
  // one-dimensional array one row of all its elements.
  int32_t rows() const { return dimensions() == 2 ? extents[0] : 1; }
  int32_t row_length() const { return dimensions() == 0 ? 1 : extents[dimensions() == 2 ? 1 : 0]; }
  field_location row(INSTRUMENT& instrument, int32_t i) const {
    return dimensions() == 2 ? locate(instrument, i, 0) : locate(instrument, 0, 0);
  }
  bool accepts(double value) const { return value >= low && value <= high; }
};

using field_table = std::span<const field_spec>;

// The fields that every instrument has: sequencer, voice chain and both LFOs.
field_table instrument_fields();
// Each engine's own fields.
field_table tb303_fields();
field_table tb808_fields();
field_table osc_fields();

// The field named `name` in a table, or nullptr.
const field_spec* find_in(field_table table, std::string_view name);

// Building blocks of the tables.
namespace field_specs {

inline field_location at(shared_int& field) {
  return {&field, nullptr};
}
inline field_location at(shared_float& field) {
  return {nullptr, &field};
}

template <typename M>
struct member_traits;
template <typename C, typename F>
struct member_traits<F C::*> {
  using owner = C;
  using type = F;
};

template <typename F>
constexpr field_type type_of() {
  using element = std::remove_all_extents_t<F>;
  if constexpr (std::is_same_v<element, shared_int>) {
    return field_type::integer;
  } else {
    static_assert(std::is_same_v<element, shared_float>);
    return field_type::real;
  }
}

// The engine part of an instrument (engines derive virtually from INSTRUMENT,
// which only a dynamic_cast can undo). The tables of an engine are used only
// on instruments that are that engine.
template <typename E>
E& as(INSTRUMENT& instrument) {
  if constexpr (std::is_same_v<E, INSTRUMENT>) {
    return instrument;
  } else {
    return dynamic_cast<E&>(instrument);
  }
}

template <auto member>
field_location locate_member(INSTRUMENT& instrument, int32_t i, int32_t j) {
  using owner = typename member_traits<decltype(member)>::owner;
  using type = typename member_traits<decltype(member)>::type;
  auto& field = as<owner>(instrument).*member;
  if constexpr (std::rank_v<type> == 0) {
    return at(field);
  } else if constexpr (std::rank_v<type> == 1) {
    return at(field[i]);
  } else {
    return at(field[i][j]);
  }
}

template <auto lfo, auto member>
field_location locate_lfo(INSTRUMENT& instrument, int32_t, int32_t) {
  return at((*(instrument.*lfo)).*member);
}

// A field stored at `offset`; a scalar, or an array whose bounds come from its type.
template <auto member>
constexpr field_spec stored(std::string_view name, int32_t offset) {
  using type = typename member_traits<decltype(member)>::type;
  static_assert(std::rank_v<type> <= 2);
  field_spec spec{name, type_of<type>(), offset};
  if constexpr (std::rank_v<type> >= 1) spec.extents[0] = std::extent_v<type, 0>;
  if constexpr (std::rank_v<type> == 2) spec.extents[1] = std::extent_v<type, 1>;
  spec.locate = &locate_member<member>;
  return spec;
}

// A field that a file may hold only within [low, high].
template <auto member>
constexpr field_spec stored(std::string_view name, int32_t offset, double low, double high) {
  field_spec spec = stored<member>(name, offset);
  spec.low = low;
  spec.high = high;
  return spec;
}

// A field written to the file that a load leaves as the instrument has it.
template <auto member>
constexpr field_spec kept(std::string_view name, int32_t offset) {
  field_spec spec = stored<member>(name, offset);
  spec.kept_on_load = true;
  return spec;
}

// A setting of one of the instrument's LFO records: not in the pattern file,
// at `settings_offset` of the session's settings record, within [low, high].
template <auto lfo, auto member>
constexpr field_spec lfo_field(std::string_view name, int32_t settings_offset,
                               double low = -std::numeric_limits<double>::infinity(),
                               double high = std::numeric_limits<double>::infinity()) {
  using type = typename member_traits<decltype(member)>::type;
  field_spec spec{name, type_of<type>()};
  spec.low = low;
  spec.high = high;
  spec.locate = &locate_lfo<lfo, member>;
  spec.settings_offset = settings_offset;
  return spec;
}

}  // namespace field_specs
