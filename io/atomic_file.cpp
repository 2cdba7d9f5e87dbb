#include "atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "path_target.h"
#include "positioned_write.h"

namespace {

std::string base_name_of(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

atomic_file::atomic_file(std::string path) : path_(std::move(path)) {}

atomic_file::~atomic_file() {
  discard();
}

bool atomic_file::fail(std::string& error, const std::string& what) {
  error = "cannot write " + path_ + ": " + what;
  discard();
  return false;
}

void atomic_file::discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temporary_path_.empty()) ::unlink(temporary_path_.c_str());
  temporary_path_.clear();
}

bool atomic_file::open(std::string& error) {
  discard();
  end_ = 0;
  streaming_ = false;
  if (path_.empty() || path_.back() == '/') return fail(error, "not a file name");
  struct stat status;
  if (::stat(path_.c_str(), &status) != 0 && errno == ELOOP)
    return fail(error, std::strerror(errno));
  if (names_stream(path_)) return open_stream(error);
  destination_ = follow_links(path_);
  return open_temporary(destination_, error);
}

bool atomic_file::open_temporary(const std::string& destination, std::string& error) {
  // A hidden name of our own beside the destination; O_EXCL never reuses a file.
  const std::string stem = folder_of(destination) + "/." + base_name_of(destination) + ".tmp-" +
                           std::to_string(::getpid()) + "-";
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string candidate = stem + std::to_string(attempt);
    const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      fd_ = fd;
      temporary_path_ = candidate;
      return true;
    }
    if (errno != EEXIST) return fail(error, std::strerror(errno));
  }
  return fail(error, "no free temporary file name");
}

bool atomic_file::open_stream(std::string& error) {
  // Without O_NONBLOCK, opening a FIFO that nobody reads would wait for a
  // reader for ever, deaf to the user; the writes themselves may wait.
  const int fd = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return fail(error, errno == ENXIO ? "nothing reads from it" : std::strerror(errno));
  fd_ = fd;
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
    return fail(error, std::strerror(errno));
  streaming_ = true;
  return true;
}

bool atomic_file::append(const void* data, size_t size, std::string& error) {
  return write_at(end_, data, size, error);
}

bool atomic_file::write_at(uint64_t offset, const void* data, size_t size, std::string& error) {
  if (fd_ < 0) return fail(error, "file is not open");
  if (streaming_ && offset != end_) return fail(error, "a stream cannot be written back");
  const bool written =
      streaming_ ? write_all(fd_, data, size) : write_all_at(fd_, data, size, offset);
  if (!written) return fail(error, std::strerror(errno));
  if (offset + size > end_) end_ = offset + size;
  return true;
}

bool atomic_file::commit(std::string& error) {
  if (fd_ < 0) return fail(error, "file is not open");
  // A stream has nothing to flush to a disk (fsync fails on a pipe).
  if (!streaming_ && ::fsync(fd_) != 0) return fail(error, std::strerror(errno));
  const int closed = ::close(fd_);
  fd_ = -1;
  if (closed != 0) return fail(error, std::strerror(errno));
  if (streaming_) return true;
  if (std::rename(temporary_path_.c_str(), destination_.c_str()) != 0)
    return fail(error, std::strerror(errno));
  temporary_path_.clear();
  return true;
}

bool write_file_atomically(const std::string& path, std::span<const unsigned char> bytes,
                           std::string& error) {
  atomic_file file(path);
  return file.open(error) && file.append(bytes.data(), bytes.size(), error) && file.commit(error);
}
