#include "leak_suppressions.h"

#include <fstream>

namespace zem_test {

const char* leak_suppressions() {
  return "leak:libX11.so\n"
         "leak:libGLX\n"
         "leak:libGL.so\n"
         "leak:libgallium\n"
         "leak:swrast_dri\n"
         "leak:snd_dlopen\n";
}

std::vector<std::string> leak_environment(const std::string& folder) {
  const std::string suppressions = folder + "/lsan.supp";
  std::ofstream(suppressions) << leak_suppressions();
  return {std::string("ASAN_OPTIONS=") + full_stack_asan_options,
          "LSAN_OPTIONS=suppressions=" + suppressions};
}

}  // namespace zem_test
