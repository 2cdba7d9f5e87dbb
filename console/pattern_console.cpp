#include "pattern_console.h"

#include <optional>
#include <string>

#include "pattern_file.h"
#include "pattern_prompt.h"

namespace {

std::string path_in(const pattern_console& console, const std::string& name) {
  return console.folder.empty() ? name : (console.folder / name).string();
}

}  // namespace

int32_t save_pattern_file(INSTRUMENT& instrument, const pattern_console& console) {
  const std::optional<std::string> name = ask_pattern_file_name(console);
  if (!name) return 0;
  const std::string path = path_in(console, *name);
  std::string error;
  const bool saved = save_pattern(instrument, path, error);
  std::fprintf(console.out, "%s\n", saved ? ("saved " + path).c_str() : error.c_str());
  std::fflush(console.out);
  return saved ? 1 : 0;
}

int32_t load_pattern_file(INSTRUMENT& instrument, const pattern_console& console) {
  const std::optional<std::string> name = ask_pattern_file_name(console);
  if (!name) return 0;
  const std::string path = path_in(console, *name);
  std::string error;
  const bool loaded = load_pattern(instrument, path, error);
  std::fprintf(console.out, "%s\n", loaded ? ("loaded " + path).c_str() : error.c_str());
  std::fflush(console.out);
  return loaded ? 1 : 0;
}

int32_t save_pattern_file(INSTRUMENT& instrument) {
  return save_pattern_file(instrument, pattern_console{});
}

int32_t load_pattern_file(INSTRUMENT& instrument) {
  return load_pattern_file(instrument, pattern_console{});
}
