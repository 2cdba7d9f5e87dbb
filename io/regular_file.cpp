#include "regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// Why a file of this kind is not read, or nullptr for a regular file.
const char* kind_refusal(mode_t mode) {
  if (S_ISREG(mode)) return nullptr;
  if (S_ISDIR(mode)) return std::strerror(EISDIR);
  if (S_ISFIFO(mode)) return "not a regular file (a FIFO)";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "not a regular file (a device)";
  if (S_ISSOCK(mode)) return "not a regular file (a socket)";
  return "not a regular file";
}

}  // namespace

int open_regular_file(const std::string& path, std::string& error) {
  // Looked at before opening, since opening some devices acts on them; then
  // again on the open file, which is what is read. O_NONBLOCK keeps the open
  // of a FIFO from waiting for a writer.
  struct stat status;
  if (::stat(path.c_str(), &status) == 0 && kind_refusal(status.st_mode)) {
    error = "cannot read " + path + ": " + kind_refusal(status.st_mode);
    return -1;
  }
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    error = "cannot open " + path + ": " + std::strerror(errno);
    return -1;
  }
  const char* refusal =
      ::fstat(fd, &status) != 0 ? std::strerror(errno) : kind_refusal(status.st_mode);
  const int flags = refusal ? -1 : ::fcntl(fd, F_GETFL);
  if (!refusal && (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0))
    refusal = std::strerror(errno);
  if (refusal) {
    error = "cannot read " + path + ": " + refusal;
    ::close(fd);
    return -1;
  }
  return fd;
}
