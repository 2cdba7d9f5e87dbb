#include "bindings_file.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <span>

#include "atomic_file.h"
#include "regular_file.h"

namespace {

// Far more than a binding for every control of the rack on every channel.
constexpr std::size_t largest_file = 1 << 20;

std::string folder_from(const char* variable, const char* below) {
  const char* value = std::getenv(variable);
  if (value == nullptr || value[0] != '/') return {};
  return std::string(value) + below;
}

std::string reason(const std::string& path, const char* what) {
  return "cannot read " + path + ": " + what;
}

}  // namespace

std::string bindings_file_path() {
  std::string folder = folder_from("XDG_CONFIG_HOME", "");
  if (folder.empty()) folder = folder_from("HOME", "/.config");
  if (folder.empty()) return {};
  return folder + "/zem/midi-bindings.txt";
}

bool read_bindings_file(const std::string& path, std::string& text, std::string& error) {
  text.clear();
  if (::access(path.c_str(), F_OK) != 0 && errno == ENOENT) return true;
  const int fd = open_regular_file(path, error);
  if (fd < 0) return false;
  bool ok = true;
  char buffer[4096];
  while (ok) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got == 0) break;
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 || text.size() + static_cast<std::size_t>(got) > largest_file) {
      error = reason(path, got < 0 ? std::strerror(errno) : "larger than 1 MiB");
      ok = false;
      break;
    }
    text.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(fd);
  if (!ok) text.clear();
  return ok;
}

bool write_bindings_file(const std::string& path, std::string_view text, std::string& error) {
  std::error_code made;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), made);
  if (made) {
    error = "cannot write " + path + ": " + made.message();
    return false;
  }
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  return write_file_atomically(path, std::span(bytes, text.size()), error);
}
