#pragma once
// Field values as the files hold them: each element a 32-bit little-endian
// word, whatever the machine, and the one check of a stored value against its
// field's allowed range. The pattern-file image and the session's instrument
// settings both walk the field tables through these.
#include <cstdint>
#include <string>

#include "field_table.h"

inline uint32_t get_word(const unsigned char* at) {
  uint32_t word = 0;
  for (int byte = 0; byte < 4; ++byte) word |= static_cast<uint32_t>(at[byte]) << (8 * byte);
  return word;
}
inline void put_word(unsigned char* at, uint32_t word) {
  for (int byte = 0; byte < 4; ++byte) at[byte] = static_cast<unsigned char>(word >> (8 * byte));
}

// The element's value as a word, and a word stored into the element.
uint32_t word_of(const field_location& element);
void store_word(const field_location& element, uint32_t word);

// Calls visit(spec, element location, offset, element index) for every
// element of every field of `table` that `offset_of(spec)` places (not
// not_in_file), the offsets moved on by `base`. Allocates nothing.
template <typename Offset, typename Visit>
void for_each_placed(INSTRUMENT& instrument, field_table table, int32_t base, Offset&& offset_of,
                     Visit&& visit) {
  for (const field_spec& spec : table) {
    const int32_t offset = offset_of(spec);
    if (offset == not_in_file) continue;
    for (int32_t i = 0; i < spec.rows(); ++i) {
      const field_location row = spec.row(instrument, i);
      for (int32_t j = 0; j < spec.row_length(); ++j) {
        const int32_t index = i * spec.row_length() + j;
        const field_location element{row.integer ? row.integer + j : nullptr,
                                     row.real ? row.real + j : nullptr};
        visit(spec, element, base + offset + index * 4, index);
      }
    }
  }
}

// Why a stored word cannot be element `element` of the field: a one-line
// reason ("current_step 255 is outside 0 to 254", "volume is not a finite
// number"), or an empty text.
std::string value_refusal(const field_spec& spec, uint32_t word, int32_t element);
