// Feeds arbitrary bytes to the texture archive index reader. Image loading is
// replaced by a stand-in that succeeds for most paths, so that repeated names
// and refusals are all reached.
//
// Input: the first byte, from 192 on, fills all but (byte - 192) of the 400
// slots before reading, so that entries meet a full or nearly full library;
// the second, from 128 on, stops the reading (byte - 128) bytes before the
// end of the index, as a file that grows while it is read is read no further
// than its size at the opening; the rest is the index file, where the bytes 1
// and 2 stand for the words "SIMPLEPART" and "END" (a built-in dictionary).
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "texture_library.h"

namespace {

bool stand_in_loader(const char* path, int32_t texture_object, int32_t* width, int32_t* height) {
  if (path[0] == 'x') return false;
  *width = texture_object;
  *height = static_cast<int32_t>(std::strlen(path));
  return true;
}

// The reader's console and error lines go to /dev/null. Only the C stream
// stderr is replaced: the fuzzer and the sanitizers keep writing their reports
// to descriptor 2 through their own handles.
void silence_reader() {
  static const bool done = [] {
    std::FILE* null_device = std::fopen("/dev/null", "w");
    if (null_device != nullptr) stderr = null_device;
    return std::freopen("/dev/null", "w", stdout) != nullptr;
  }();
  (void)done;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  silence_reader();
  if (size < 2) return 0;
  TEXTURE_LIBRARY library(stand_in_loader);
  const int prefilled = data[0] < 192 ? 0 : TEXTURE_SLOTS - (data[0] - 192);
  for (int i = 0; i < prefilled; ++i) {
    library.register_texture(("P" + std::to_string(i)).c_str(), 1, 1);
  }
  std::string index;
  const size_t short_by = data[1] < 128 ? 0 : data[1] - 128u;
  for (size_t i = 2; i < size; ++i) {
    if (data[i] == 1) {
      index += "SIMPLEPART";
    } else if (data[i] == 2) {
      index += "END";
    } else {
      index += static_cast<char>(data[i]);
    }
  }
  std::FILE* file = fmemopen(index.data(), index.size(), "r");
  if (file == nullptr) return 0;
  const size_t bound = index.size() - std::min(index.size(), short_by);
  const bool complete = library.read_entries(file, bound);
  const long read = std::ftell(file);
  std::fclose(file);
  // Nothing past the bound is read, and a list is complete only with its
  // "END" among the bytes read.
  if (read > static_cast<long>(bound)) __builtin_trap();
  if (complete && index.substr(0, bound).find("END") == std::string::npos) __builtin_trap();
  if (library.count < prefilled || library.count > TEXTURE_SLOTS) __builtin_trap();
  for (int i = prefilled; i < library.count; ++i) {
    if (std::strlen(library.names[i]) > ARCHIVE_TOKEN_MAX) __builtin_trap();
    if (library.find_texture(library.names[i]) > i) __builtin_trap();
  }
  return 0;
}
