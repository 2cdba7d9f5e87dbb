// Writes the interface textures and their index into the runtime folder:
//   zem_art RUNTIME_DIR        the images under RUNTIME_DIR/textures and RUNTIME_DIR/OPENGL.ZPK
//   zem_art --preview FILE     a BMP picture of every texture and a mock window, to look at
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "bmp.h"
#include "catalogue.h"
#include "preview.h"
#include "zpk_index.h"

namespace {

void write_runtime(const std::filesystem::path& folder) {
  using namespace zem::art;
  std::vector<index_entry> entries;
  for (const texture_art& art : catalogue()) {
    const std::string path = image_path(art);
    std::filesystem::create_directories((folder / path).parent_path());
    rgb_image image(art.width, art.height);
    art.draw(image);
    write_bmp((folder / path).string(), image);
    entries.push_back({art.name, path});
  }
  // The index last: it only appears once every image it lists is written.
  write_index((folder / "OPENGL.ZPK").string(), entries);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    if (argc == 3 && std::strcmp(argv[1], "--preview") == 0) {
      zem::art::write_bmp(argv[2], zem::art::render_preview());
    } else if (argc == 2) {
      write_runtime(argv[1]);
    } else {
      std::fprintf(stderr, "usage: %s RUNTIME_DIR | --preview FILE.bmp\n", argv[0]);
      return 2;
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "zem_art: %s\n", e.what());
    return 1;
  }
  return 0;
}
