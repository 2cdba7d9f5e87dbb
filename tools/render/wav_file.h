#pragma once
// A 16-bit stereo 44100 Hz WAV file written so that no partial output is ever
// left behind: it is an atomic_file (a temporary file beside the destination
// that replaces it only once everything has been written). If anything
// fails, or the writer is destroyed before `commit`, the temporary file is
// removed and the destination is left as it was.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "atomic_file.h"
#include "wav_header.h"

constexpr int wav_sample_rate = 44100;
constexpr int wav_channels = 2;
constexpr int wav_bytes_per_frame = 4;
constexpr size_t wav_header_size = wav_header_bytes;
// The RIFF size fields are 32 bits wide; the data chunk must fit in them.
constexpr uint64_t wav_max_frames = (0xFFFFFFFFull - (wav_header_size - 8)) / wav_bytes_per_frame;

// The 44-byte header of a canonical PCM WAV file holding `frames` frames.
std::array<uint8_t, wav_header_size> wav_header(uint32_t frames);

class WAV_WRITER {
 public:
  explicit WAV_WRITER(std::string path);
  ~WAV_WRITER();
  WAV_WRITER(const WAV_WRITER&) = delete;
  WAV_WRITER& operator=(const WAV_WRITER&) = delete;

  // Creates the temporary file. On failure `error` holds a one-line reason.
  bool open(std::string& error);
  // Appends interleaved stereo frames exactly as given (little-endian samples).
  bool write_frames(const int16_t* samples, size_t frames, std::string& error);
  // Writes the final header, flushes, and renames the temporary file onto the path.
  bool commit(std::string& error);

  const std::string& temporary_path() const { return file_.temporary_path(); }

 private:
  atomic_file file_;
  bool open_ = false;
  uint64_t frames_ = 0;
};
