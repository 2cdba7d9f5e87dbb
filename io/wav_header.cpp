#include "wav_header.h"

#include <cstring>

namespace {
void put_u16(uint8_t* at, uint32_t value) {
  at[0] = static_cast<uint8_t>(value);
  at[1] = static_cast<uint8_t>(value >> 8);
}
void put_u32(uint8_t* at, uint32_t value) {
  put_u16(at, value & 0xFFFF);
  put_u16(at + 2, value >> 16);
}
}  // namespace

std::array<uint8_t, wav_header_bytes> wav_header(uint32_t rate, uint32_t frames) {
  constexpr uint32_t channels = 2, bits = 16, frame_bytes = channels * bits / 8;
  static_assert(frame_bytes == wav_bytes_per_frame);
  const uint32_t data_bytes = frames * frame_bytes;
  std::array<uint8_t, wav_header_bytes> header{};
  uint8_t* h = header.data();
  std::memcpy(h, "RIFF", 4);
  put_u32(h + 4, data_bytes + static_cast<uint32_t>(wav_header_bytes - 8));
  std::memcpy(h + 8, "WAVEfmt ", 8);
  put_u32(h + 16, 16);  // size of the format chunk
  put_u16(h + 20, 1);   // integer PCM
  put_u16(h + 22, channels);
  put_u32(h + 24, rate);
  put_u32(h + 28, rate * frame_bytes);
  put_u16(h + 32, frame_bytes);
  put_u16(h + 34, bits);
  std::memcpy(h + 36, "data", 4);
  put_u32(h + 40, data_bytes);
  return header;
}
