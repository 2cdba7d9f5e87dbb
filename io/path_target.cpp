#include "path_target.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

namespace {

// The absolute path that `path` leads to, with the links of its folders and
// of the file itself followed, for a file that does not exist.
std::string resolved(const std::string& path) {
  std::error_code error;
  const std::filesystem::path whole = std::filesystem::weakly_canonical(
      std::filesystem::absolute(follow_links(path), error), error);
  return error ? path : whole.string();
}

}  // namespace

std::string folder_of(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string follow_links(std::string path) {
  for (int hop = 0; hop < 40; ++hop) {
    struct stat status;
    if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return path;
    char target[4096];
    const ssize_t n = ::readlink(path.c_str(), target, sizeof target);
    if (n <= 0 || static_cast<size_t>(n) >= sizeof target) return path;
    const std::string link(target, static_cast<size_t>(n));
    path = link[0] == '/' ? link : folder_of(path) + "/" + link;
  }
  return path;
}

bool names_stream(const std::string& path) {
  struct stat status;
  return ::stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode) && !S_ISDIR(status.st_mode);
}

bool same_file(const std::string& a, const std::string& b) {
  struct stat first, second;
  const bool a_exists = ::stat(a.c_str(), &first) == 0;
  const bool b_exists = ::stat(b.c_str(), &second) == 0;
  if (a_exists && b_exists) return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
  if (a_exists || b_exists) return false;
  return resolved(a) == resolved(b);
}
