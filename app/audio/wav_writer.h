#pragma once
// Writes 16-bit stereo frames to a WAV file. The header is rewritten, in one
// write, after every append, so the file is valid at any moment, even when the
// program is killed while recording.
#include <cstddef>
#include <cstdint>

class wav_writer {
 public:
  wav_writer() = default;
  ~wav_writer() { close(); }
  wav_writer(const wav_writer&) = delete;
  wav_writer& operator=(const wav_writer&) = delete;

  // Creates (or empties) the file and writes the header. False on failure.
  bool open(const char* path, int rate);
  // Appends `frames` stereo frames. Recording stops for good after a failed
  // write, or when the file reaches the largest size a WAV header can state;
  // what was written before stays valid.
  void append(const int16_t* samples, size_t frames);
  void close();

  bool is_open() const { return fd_ >= 0; }
  uint32_t data_bytes() const { return data_bytes_; }

  static constexpr size_t header_size = 44;
  // The largest data size whose RIFF size (data + 36) still fits 32 bits, in
  // whole frames.
  static constexpr uint32_t max_data_bytes = (0xFFFFFFFFu - 36u) / 4u * 4u;

 private:
  bool write_header();

  int fd_ = -1;
  bool failed_ = false;
  uint32_t rate_ = 0;
  uint32_t data_bytes_ = 0;
};
