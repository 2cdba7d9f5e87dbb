#include "positioned_write.h"

#include <unistd.h>

#include <cerrno>

namespace {

// Calls write_some(p, size) until the whole range is written.
template <typename Write>
bool write_whole(const void* data, size_t size, Write&& write_some) {
  const auto* p = static_cast<const unsigned char*>(data);
  while (size > 0) {
    const ssize_t n = write_some(p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return false;
    }
    p += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

bool write_all_at(int fd, const void* data, size_t size, uint64_t offset) {
  return write_whole(data, size, [fd, &offset](const unsigned char* p, size_t left) {
    const ssize_t n = ::pwrite(fd, p, left, static_cast<off_t>(offset));
    if (n > 0) offset += static_cast<uint64_t>(n);
    return n;
  });
}

bool write_all(int fd, const void* data, size_t size) {
  return write_whole(data, size,
                     [fd](const unsigned char* p, size_t left) { return ::write(fd, p, left); });
}
