#pragma once
// Reading the 44-byte-header PCM WAV files that the program and zem-render
// write, from the format itself rather than from the writer's code.
//
// read_wav: every header field, and `valid` when the header is well formed
// and its sizes agree with each other and fit the file (the samples are read
// only then). For files that may be cut short or still being written.
//
// read_wav_samples: the samples of a finished 16-bit stereo 44100 Hz file;
// every header field is checked against the file, each mismatch being a test
// failure (EXPECT) in the calling test.
//
// u32_at, u16_at: little-endian fields of a file read whole with read_file.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zem_test {

struct wav_file {
  bool valid = false;
  uint16_t format = 0, channels = 0, bits = 0, block_align = 0;
  uint32_t rate = 0, byte_rate = 0, format_size = 0;
  uint32_t riff_size = 0, data_size = 0;
  std::string riff_tag, wave_fmt_tag, data_tag;  // "RIFF", "WAVEfmt ", "data"
  size_t file_size = 0;
  std::vector<int16_t> samples;  // the data chunk, when valid
};

wav_file read_wav(const std::string& path);

std::vector<int16_t> read_wav_samples(const std::string& path);

uint32_t u32_at(const std::string& bytes, size_t at);
uint16_t u16_at(const std::string& bytes, size_t at);

}  // namespace zem_test
