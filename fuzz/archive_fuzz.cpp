// Feeds arbitrary bytes to the texture archive index reader. Image loading is
// replaced by a stand-in that succeeds for most paths, so that the slot limit,
// repeated names and refusals are all reached.
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "texture_library.h"

namespace {

bool stand_in_loader(const char* path, int32_t texture_object, int32_t* width, int32_t* height) {
  if (path[0] == 'x') return false;
  *width = texture_object;
  *height = static_cast<int32_t>(std::strlen(path));
  return true;
}

// A library that skips the file and is filled from memory.
class fuzzed_library : public TEXTURE_LIBRARY {
 public:
  fuzzed_library() : TEXTURE_LIBRARY("/dev/null", stand_in_loader) {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool quiet = [] { return std::freopen("/dev/null", "w", stdout) != nullptr; }();
  (void)quiet;
  std::FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "r");
  if (file == nullptr) return 0;
  fuzzed_library library;
  library.read_entries(file);
  std::fclose(file);
  if (library.count < 0 || library.count > TEXTURE_SLOTS) __builtin_trap();
  for (int i = 0; i < library.count; ++i) {
    if (std::strlen(library.names[i]) > ARCHIVE_TOKEN_MAX) __builtin_trap();
    if (library.find_texture(library.names[i]) > i) __builtin_trap();
  }
  return 0;
}
