#pragma once
// A small table-driven registry of the fields that zem-render can set: every
// 32-bit integer or float field of an instrument and of its engine, by its
// name ("volume", "envelope_lfo.on", "pattern_memory", ...), with the bounds of
// its indices for arrays. Writing goes through the shared fields themselves,
// exactly as the panels do.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

#include "instrument.h"

// Where a field lives: exactly one of the two is set.
struct field_location {
  shared_int* integer = nullptr;
  shared_float* real = nullptr;
};

struct field_spec {
  std::string_view name;
  int32_t extents[2] = {0, 0};  // bounds of the first and second index; 0: no such index
  field_location (*locate)(INSTRUMENT& instrument, int32_t i, int32_t j) = nullptr;

  int dimensions() const { return (extents[0] > 0) + (extents[1] > 0); }
};

using field_table = std::span<const field_spec>;

// The fields that every instrument has: sequencer, voice chain and both LFOs.
field_table instrument_fields();
// The fields of the instrument's engine, chosen by its engine name (empty for
// an instrument without an engine).
field_table engine_fields(const INSTRUMENT& instrument);

// The spec of `name` (without indices) for this instrument, or nullptr.
const field_spec* find_field(const INSTRUMENT& instrument, std::string_view name);

// Sets FIELD (e.g. "pattern_memory[0][3]") to VALUE (the text after "=").
// Integer fields take only integers; floats take any finite number. On failure
// nothing is written and `error` holds a one-line reason.
bool set_field(INSTRUMENT& instrument, std::string_view field, std::string_view value,
               std::string& error);

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

// The engine part of an instrument (engines derive virtually from INSTRUMENT,
// which only a dynamic_cast can undo).
template <typename E>
E& as(INSTRUMENT& instrument) {
  if constexpr (std::is_same_v<E, INSTRUMENT>) {
    return instrument;
  } else {
    return dynamic_cast<E&>(instrument);
  }
}

template <auto member>
field_location locate_scalar(INSTRUMENT& instrument, int32_t, int32_t) {
  using owner = typename member_traits<decltype(member)>::owner;
  return at(as<owner>(instrument).*member);
}

template <auto member>
field_location locate_row(INSTRUMENT& instrument, int32_t i, int32_t) {
  using owner = typename member_traits<decltype(member)>::owner;
  return at((as<owner>(instrument).*member)[i]);
}

template <auto member>
field_location locate_grid(INSTRUMENT& instrument, int32_t i, int32_t j) {
  using owner = typename member_traits<decltype(member)>::owner;
  return at((as<owner>(instrument).*member)[i][j]);
}

template <auto lfo, auto member>
field_location locate_lfo(INSTRUMENT& instrument, int32_t, int32_t) {
  return at((*(instrument.*lfo)).*member);
}

template <auto member>
constexpr field_spec scalar(std::string_view name) {
  return {name, {0, 0}, &locate_scalar<member>};
}

// A one- or two-dimensional array member; the index bounds come from its type.
template <auto member>
constexpr field_spec array(std::string_view name) {
  using type = typename member_traits<decltype(member)>::type;
  if constexpr (std::rank_v<type> == 1) {
    return {name, {static_cast<int32_t>(std::extent_v<type, 0>), 0}, &locate_row<member>};
  } else {
    static_assert(std::rank_v<type> == 2);
    return {name,
            {static_cast<int32_t>(std::extent_v<type, 0>),
             static_cast<int32_t>(std::extent_v<type, 1>)},
            &locate_grid<member>};
  }
}

template <auto lfo, auto member>
constexpr field_spec lfo_field(std::string_view name) {
  return {name, {0, 0}, &locate_lfo<lfo, member>};
}

}  // namespace field_specs
