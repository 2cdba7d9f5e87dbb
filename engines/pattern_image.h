#pragma once
// The file form of an instrument's complete state, a pattern file: the
// engine's own fields with its whole pattern memory, then the 216-byte
// INSTRUMENT block. Every value is 32 bits, little-endian, at the offset that
// its field table gives, whatever the machine. The places that held the saving
// run's references (dispatch, stream handle, LFO records) and the reserved
// word are written as zeros and ignored on reading. A bare INSTRUMENT's image
// is its block alone.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "field_table.h"
#include "instrument.h"

struct image_layout {
  std::string_view engine_name;  // empty for a bare INSTRUMENT
  int32_t size;                  // bytes of the whole image
  int32_t block_offset;          // where the INSTRUMENT block starts
  field_table engine_fields;     // offsets from the start of the image
};

// The layout of this instrument's pattern file, chosen by its engine name.
image_layout image_layout_of(const INSTRUMENT& instrument);

// Writes the instrument's image into `image`, which holds exactly the
// layout's size. Allocates nothing.
void encode_image(INSTRUMENT& instrument, std::span<unsigned char> image);

// Why these bytes, a whole file, cannot be loaded into this instrument: a
// one-line reason, or an empty text when they can. Checked: the size, the
// engine name (it must be the instrument's own), the ranges that keep the
// sequencer inside its memory, and that every float is a finite number.
std::string image_refusal(INSTRUMENT& instrument, std::span<const unsigned char> image);

// The first part of image_refusal: why a file of `size` bytes cannot be this
// instrument's pattern file, or an empty text.
std::string size_refusal(const INSTRUMENT& instrument, uint64_t size);

// Takes over every field of an accepted image, except the engine name and the
// instrument number, which stay the instrument's own. Allocates nothing.
void apply_image(INSTRUMENT& instrument, std::span<const unsigned char> image);
