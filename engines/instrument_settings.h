#pragma once
// What a pattern file leaves out of an instrument's state, kept beside its
// image in a session file: the two LFO records, on/off, position, amplitude,
// period and third setting each. Every value is 32 bits, little-endian, at the
// settings offset that its field table gives.
#include <cstdint>
#include <span>
#include <string>

#include "instrument.h"

constexpr int32_t instrument_settings_size = 40;

// Writes the instrument's settings into `settings`, which holds exactly
// instrument_settings_size bytes. Allocates nothing.
void encode_settings(INSTRUMENT& instrument, std::span<unsigned char> settings);

// Why these bytes cannot be this instrument's settings: a one-line reason, or
// an empty text. Checked: the size, every float finite, the switches 0 or 1.
std::string settings_refusal(INSTRUMENT& instrument, std::span<const unsigned char> settings);

// Takes over accepted settings. Allocates nothing.
void apply_settings(INSTRUMENT& instrument, std::span<const unsigned char> settings);
