#include "wav_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>

namespace {
void put_u16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
void put_u32(uint8_t* p, uint32_t v) {
  put_u16(p, v & 0xFFFF);
  put_u16(p + 2, v >> 16);
}

// pwrite of the whole range, retried after interruptions and partial writes.
bool write_all_at(int fd, const void* data, size_t size, off_t offset) {
  const auto* p = static_cast<const uint8_t*>(data);
  while (size > 0) {
    const ssize_t n = pwrite(fd, p, size, offset);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    size -= static_cast<size_t>(n);
    offset += n;
  }
  return true;
}

// The 44-byte header of a 16-bit stereo PCM file holding `data_bytes` bytes of
// samples.
void make_header(uint8_t* header, uint32_t rate, uint32_t data_bytes) {
  constexpr uint32_t channels = 2, bits = 16, frame_bytes = channels * bits / 8;
  std::memcpy(header, "RIFF", 4);
  put_u32(header + 4, data_bytes + 36);
  std::memcpy(header + 8, "WAVEfmt ", 8);
  put_u32(header + 16, 16);  // size of the format chunk
  put_u16(header + 20, 1);   // integer PCM
  put_u16(header + 22, channels);
  put_u32(header + 24, rate);
  put_u32(header + 28, rate * frame_bytes);
  put_u16(header + 32, frame_bytes);
  put_u16(header + 34, bits);
  std::memcpy(header + 36, "data", 4);
  put_u32(header + 40, data_bytes);
}
}  // namespace

bool wav_writer::open(const char* path, int rate) {
  close();
  fd_ = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd_ < 0) return false;
  failed_ = false;
  rate_ = static_cast<uint32_t>(rate);
  data_bytes_ = 0;
  if (!write_header()) {
    close();
    return false;
  }
  return true;
}

void wav_writer::append(const int16_t* samples, size_t frames) {
  if (fd_ < 0 || failed_) return;
  const uint64_t room = max_data_bytes - data_bytes_;
  const uint64_t bytes = std::min<uint64_t>(frames * 4, room);
  if (bytes == 0) return;
  static_assert(std::endian::native == std::endian::little, "WAV samples are little-endian");
  if (!write_all_at(fd_, samples, bytes, static_cast<off_t>(header_size + data_bytes_))) {
    failed_ = true;  // a partly written block lies beyond the stated size
    return;
  }
  data_bytes_ += static_cast<uint32_t>(bytes);
  if (!write_header()) failed_ = true;
}

// The whole header in one write, so that the RIFF size and the data size never
// disagree in the file, even when the process dies between two writes.
bool wav_writer::write_header() {
  uint8_t header[header_size];
  make_header(header, rate_, data_bytes_);
  return write_all_at(fd_, header, sizeof header, 0);
}

void wav_writer::close() {
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
}
