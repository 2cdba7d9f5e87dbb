#pragma once
// The 44-byte header of a canonical WAV file of 16-bit stereo PCM, the form of
// the engines' output, and the largest such file that it can describe.
#include <array>
#include <cstddef>
#include <cstdint>

constexpr size_t wav_header_bytes = 44;
constexpr uint32_t wav_bytes_per_frame = 4;  // two 16-bit samples
// The RIFF size (the data and the 36 header bytes after the size field) is 32
// bits wide; the data chunk must fit in it.
constexpr uint64_t wav_max_frames = (0xFFFFFFFFull - (wav_header_bytes - 8)) / wav_bytes_per_frame;

// The header of a file holding `frames` frames (at most wav_max_frames) at
// `rate` frames per second.
std::array<uint8_t, wav_header_bytes> wav_header(uint32_t rate, uint32_t frames);
