#pragma once
// The 44-byte header of a canonical WAV file of 16-bit stereo PCM, the form of
// the engines' output. Shared by the live recording (app/audio/wav_writer),
// which rewrites it after every block, and zem-render's WAV files.
#include <array>
#include <cstddef>
#include <cstdint>

constexpr size_t wav_header_bytes = 44;

// The header of a file holding `data_bytes` bytes of samples at `rate`
// frames per second. The RIFF size is data_bytes + 36, so data_bytes must
// leave room for it in 32 bits.
std::array<uint8_t, wav_header_bytes> wav_header_for(uint32_t rate, uint32_t data_bytes);
