#include "wav_reading.h"

#include <gtest/gtest.h>

#include <cstring>

#include "temp_folder.h"

namespace zem_test {

uint32_t u32_at(const std::string& bytes, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(bytes[at + i]);
  return v;
}

uint16_t u16_at(const std::string& bytes, size_t at) {
  return static_cast<uint16_t>(static_cast<uint8_t>(bytes[at]) |
                               (static_cast<uint8_t>(bytes[at + 1]) << 8));
}

wav_file read_wav(const std::string& path) {
  wav_file wav;
  const std::string bytes = read_file(path);
  wav.file_size = bytes.size();
  if (bytes.size() < 44) return wav;
  wav.riff_tag = bytes.substr(0, 4);
  wav.riff_size = u32_at(bytes, 4);
  wav.wave_fmt_tag = bytes.substr(8, 8);
  wav.format_size = u32_at(bytes, 16);
  wav.format = u16_at(bytes, 20);
  wav.channels = u16_at(bytes, 22);
  wav.rate = u32_at(bytes, 24);
  wav.byte_rate = u32_at(bytes, 28);
  wav.block_align = u16_at(bytes, 32);
  wav.bits = u16_at(bytes, 34);
  wav.data_tag = bytes.substr(36, 4);
  wav.data_size = u32_at(bytes, 40);
  wav.valid = wav.riff_tag == "RIFF" && wav.wave_fmt_tag == "WAVEfmt " && wav.format_size == 16 &&
              wav.data_tag == "data" && wav.riff_size == wav.data_size + 36 &&
              44 + size_t{wav.data_size} <= bytes.size() && wav.byte_rate == wav.rate * 4 &&
              wav.block_align == 4;
  if (wav.valid) {
    wav.samples.resize(wav.data_size / 2);
    if (!wav.samples.empty())  // an empty vector's data() may be null
      std::memcpy(wav.samples.data(), bytes.data() + 44, wav.samples.size() * 2);
  }
  return wav;
}

std::vector<int16_t> read_wav_samples(const std::string& path) {
  const wav_file wav = read_wav(path);
  EXPECT_GE(wav.file_size, 44u);
  if (wav.file_size < 44) return {};
  EXPECT_EQ(wav.riff_tag, "RIFF");
  EXPECT_EQ(wav.riff_size, wav.file_size - 8);
  EXPECT_EQ(wav.wave_fmt_tag, "WAVEfmt ");
  EXPECT_EQ(wav.format_size, 16u);
  EXPECT_EQ(wav.format, 1u);    // PCM
  EXPECT_EQ(wav.channels, 2u);  // stereo
  EXPECT_EQ(wav.rate, 44100u);
  EXPECT_EQ(wav.byte_rate, 44100u * 4);
  EXPECT_EQ(wav.block_align, 4u);
  EXPECT_EQ(wav.bits, 16u);
  EXPECT_EQ(wav.data_tag, "data");
  EXPECT_EQ(wav.data_size, wav.file_size - 44);
  // When every field above holds, the header is valid and the data chunk is
  // the rest of the file.
  return wav.samples;
}

}  // namespace zem_test
