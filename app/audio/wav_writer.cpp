#include "wav_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>

#include "wav_header.h"

namespace {
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
  const auto header = wav_header_for(rate_, data_bytes_);
  return write_all_at(fd_, header.data(), header.size(), 0);
}

void wav_writer::close() {
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
}
