#include "atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "positioned_write.h"

namespace {

std::string folder_of(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

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
  if (path_.empty() || path_.back() == '/') return fail(error, "not a file name");
  // A hidden name of our own beside the destination; O_EXCL never reuses a file.
  const std::string stem =
      folder_of(path_) + "/." + base_name_of(path_) + ".tmp-" + std::to_string(::getpid()) + "-";
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

bool atomic_file::append(const void* data, size_t size, std::string& error) {
  return write_at(end_, data, size, error);
}

bool atomic_file::write_at(uint64_t offset, const void* data, size_t size, std::string& error) {
  if (fd_ < 0) return fail(error, "file is not open");
  if (!write_all_at(fd_, data, size, offset)) return fail(error, std::strerror(errno));
  if (offset + size > end_) end_ = offset + size;
  return true;
}

bool atomic_file::commit(std::string& error) {
  if (fd_ < 0) return fail(error, "file is not open");
  if (::fsync(fd_) != 0) return fail(error, std::strerror(errno));
  const int closed = ::close(fd_);
  fd_ = -1;
  if (closed != 0) return fail(error, std::strerror(errno));
  if (std::rename(temporary_path_.c_str(), path_.c_str()) != 0)
    return fail(error, std::strerror(errno));
  temporary_path_.clear();
  return true;
}

bool write_file_atomically(const std::string& path, std::span<const unsigned char> bytes,
                           std::string& error) {
  atomic_file file(path);
  return file.open(error) && file.append(bytes.data(), bytes.size(), error) && file.commit(error);
}
