// Feeds arbitrary bytes to the layout-file reader through its non-exiting
// core, then dumps what it read.
//
// Input: up to four files "A.RC" to "D.RC", separated by the byte 1; the
// reading starts at section "S" of "A.RC". The bytes 2 to 6 stand for
// "BEGIN", "END", "EOF", "INCLUDE" and a whole item line (a built-in
// dictionary). The files are written to a scratch folder, and includes can
// open nothing outside it: a path with anything but letters, digits, '.',
// '_' or '-', or one that begins with '.', cannot be opened.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "instrument_gui.h"
#include "layout_reader.h"

namespace {

constexpr int FILE_COUNT = 4;

// A private folder for the input's files, removed when the fuzzer ends.
class scratch_folder {
 public:
  scratch_folder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "zem-layout-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
  }
  ~scratch_folder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

const scratch_folder& scratch() {
  static const scratch_folder folder;
  return folder;
}

bool stays_inside(const char* path) {
  if (path[0] == '\0' || path[0] == '.') return false;
  for (const char* c = path; *c != '\0'; ++c) {
    const bool plain = (*c >= 'A' && *c <= 'Z') || (*c >= 'a' && *c <= 'z') ||
                       (*c >= '0' && *c <= '9') || *c == '.' || *c == '_' || *c == '-';
    if (!plain) return false;
  }
  return true;
}

std::FILE* open_in_scratch(const char* path) {
  if (!stays_inside(path)) return nullptr;
  return std::fopen((scratch().path() / path).c_str(), "r");
}

// The input's files, with the dictionary bytes spelt out.
std::vector<std::string> split_files(const uint8_t* data, size_t size) {
  static const char* const words[] = {"BEGIN ", " END ", " EOF ", "INCLUDE ",
                                      "\"N\" \"I\" \"\" 1 2 3 4 5 "};
  std::vector<std::string> files(1);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 1) {
      if (files.size() == FILE_COUNT) break;
      files.emplace_back();
    } else if (data[i] >= 2 && data[i] <= 6) {
      files.back() += words[data[i] - 2];
    } else {
      files.back() += static_cast<char>(data[i]);
    }
  }
  return files;
}

void write_files(const std::vector<std::string>& files) {
  for (int i = 0; i < FILE_COUNT; ++i) {
    const std::filesystem::path path = scratch().path() / (std::string(1, 'A' + i) + ".RC");
    if (static_cast<size_t>(i) < files.size()) {
      std::ofstream(path, std::ios::binary) << files[i];
    } else {
      std::error_code ignored;
      std::filesystem::remove(path, ignored);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  write_files(split_files(data, size));
  // One panel for all inputs: building an instrument costs far more than a reading.
  static INSTRUMENT_GUI& panel = *new INSTRUMENT_GUI("OSC_1", 0, 250, 2);
  std::strcpy(panel.engine_name, "OSC");
  for (SPRITE* item : panel.items) delete item;
  panel.items.clear();
  const layout_source source{open_in_scratch, nullptr};
  const auto error = read_layout(panel, "A.RC", "S", 2, source);
  if (error) {
    // A broken file leaves the panel as it was and gives one line naming a file.
    if (!panel.items.empty()) __builtin_trap();
    if (error->rfind("LOAD_RC [", 0) != 0 || error->find('\n') != std::string::npos) {
      __builtin_trap();
    }
    return 0;
  }
  for (const SPRITE* item : panel.items) {
    if (strnlen(item->control_name, sizeof item->control_name) >= sizeof item->control_name) {
      __builtin_trap();
    }
  }
  static std::FILE* const null_device = std::fopen("/dev/null", "w");
  if (null_device != nullptr) dump_layout(panel, null_device);
  return 0;
}
