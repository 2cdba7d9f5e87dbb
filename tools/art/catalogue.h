// Every texture of the installation: its name in the index, its stored size,
// the picture drawn into it and the mask that goes with it. The index lists
// the textures in this order; the first one is what unknown names show.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "raster.h"

namespace zem::art {

enum class Role {
  neutral,     // slot 0: shown for names the library does not hold
  background,  // a panel background; its name contains "BACK"
  widget,      // a widget picture
  mask,        // drawn under widget pictures, never shown alone
};

struct TextureArt {
  std::string name;
  int width, height;  // stored size in pixels, powers of two
  Role role;
  std::string mask;  // the mask to give widgets that show this picture, "" for none
  std::function<void(Image&)> draw;
};

const std::vector<TextureArt>& catalogue();

// Where the image of a texture is written, relative to the runtime folder.
std::string image_path(const TextureArt& art);

}  // namespace zem::art
