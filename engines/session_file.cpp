#include "session_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "atomic_file.h"

namespace {

struct descriptor {
  int fd;
  ~descriptor() {
    if (fd >= 0) ::close(fd);
  }
};

// The whole content of an open regular file, at most session_file_limit bytes.
bool read_all(int fd, std::vector<unsigned char>& bytes, std::string& reason) {
  struct stat status;
  if (::fstat(fd, &status) != 0) {
    reason = std::strerror(errno);
    return false;
  }
  if (!S_ISREG(status.st_mode)) {
    reason = "not a regular file";
    return false;
  }
  const auto too_large = [&](uint64_t size) {
    reason = std::to_string(size) + " bytes, more than a session file holds (at most " +
             std::to_string(session_file_limit) + ")";
    return false;
  };
  if (static_cast<uint64_t>(status.st_size) > session_file_limit) return too_large(status.st_size);
  // One byte more than the file should hold tells a file that grew meanwhile.
  bytes.resize(static_cast<size_t>(status.st_size) + 1);
  size_t got = 0;
  while (got < bytes.size()) {
    const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      reason = std::strerror(errno);
      return false;
    }
    if (n == 0) break;
    got += static_cast<size_t>(n);
    if (got == bytes.size() && got <= session_file_limit) bytes.resize(session_file_limit + 1);
  }
  if (got > session_file_limit) return too_large(got);
  bytes.resize(got);
  return true;
}

}  // namespace

bool read_session_file(const std::string& path, session_rack rack, rack_session& session,
                       std::string& error) {
  // Without O_NONBLOCK, opening a FIFO would wait for a writer.
  const descriptor file{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
  if (file.fd < 0) {
    error = "cannot open " + path + ": " + std::strerror(errno);
    return false;
  }
  std::vector<unsigned char> bytes;
  std::string reason;
  if (!read_all(file.fd, bytes, reason)) {
    error = "cannot read " + path + ": " + reason;
    return false;
  }
  if (!decode_session(bytes, rack, session, reason)) {
    error = path + ": " + reason;
    return false;
  }
  return true;
}

bool write_session_file(const std::string& path, const rack_session& session, session_rack rack,
                        std::string& error) {
  std::string reason = session_refusal(session, rack);
  std::vector<unsigned char> bytes;
  if (reason.empty()) encode_session(session, bytes, reason);
  if (!reason.empty()) {
    error = "cannot save " + path + ": " + reason;
    return false;
  }
  return write_file_atomically(path, bytes, error);
}
