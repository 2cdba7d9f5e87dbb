#include "layout_check.h"

#include <cstdio>
#include <memory>

#include "instrument_gui.h"
#include "layout_reader.h"

namespace {

struct layout_file {
  const char* path;
  const char* section;
};

constexpr layout_file layout_files[] = {
    {"RC/TB303.RC", "TB303"}, {"RC/TB808.RC", "TB808"}, {"RC/OSC.RC", "OSC"}};

bool readable(const char* path) {
  std::FILE* file = std::fopen(path, "rb");
  if (file != nullptr) std::fclose(file);
  return file != nullptr;
}

// Reads one layout into a panel that is thrown away. Building a panel takes
// an instrument number: the counter is put back so that the rack built
// afterwards still numbers its instruments from 0.
std::optional<std::string> check_layout(const layout_file& layout) {
  const int32_t next_number = instrument_counter;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> quiet(std::fopen("/dev/null", "w"), std::fclose);
  std::optional<std::string> problem;
  {
    INSTRUMENT_GUI scratch("CHECK", 0, 0, 0);
    layout_source source;
    source.trace = quiet.get();
    problem = read_layout(scratch, layout.path, layout.section, 0, source);
    if (!problem && scratch.items.empty()) {
      problem = std::string(layout.path) + " has no section " + layout.section;
    }
  }
  instrument_counter = next_number;
  return problem;
}

}  // namespace

std::optional<std::string> check_installation() {
  for (const char* path : {"OPENGL.ZPK", "Test.ttf"}) {
    if (!readable(path)) return std::string(path) + " cannot be read";
  }
  for (const layout_file& layout : layout_files) {
    if (!readable(layout.path)) return std::string(layout.path) + " cannot be read";
    if (auto problem = check_layout(layout)) return problem;
  }
  return std::nullopt;
}
