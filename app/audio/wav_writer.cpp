#include "wav_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>

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
}  // namespace

bool wav_writer::open(const char* path, int rate) {
  close();
  fd_ = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd_ < 0) return false;
  failed_ = false;
  data_bytes_ = 0;
  uint8_t header[header_size] = {
      'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 0,   0,   0, 0, 0, 0,
      0,   0,   0,   0,   0, 0, 0, 0, 0,   0,   0,   0,   0,   0,   'd', 'a', 't', 'a', 0, 0, 0, 0};
  const uint32_t channels = 2, bits = 16, frame_bytes = channels * bits / 8;
  put_u32(header + 4, 36);
  put_u32(header + 16, 16);  // size of the format chunk
  put_u16(header + 20, 1);   // integer PCM
  put_u16(header + 22, channels);
  put_u32(header + 24, static_cast<uint32_t>(rate));
  put_u32(header + 28, static_cast<uint32_t>(rate) * frame_bytes);
  put_u16(header + 32, frame_bytes);
  put_u16(header + 34, bits);
  if (!write_all_at(fd_, header, sizeof header, 0)) {
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
  if (!update_sizes()) failed_ = true;
}

bool wav_writer::update_sizes() {
  uint8_t size[4];
  put_u32(size, data_bytes_ + 36);
  if (!write_all_at(fd_, size, 4, 4)) return false;
  put_u32(size, data_bytes_);
  return write_all_at(fd_, size, 4, 40);
}

void wav_writer::close() {
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
}
