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
  // Stored size in pixels: powers of two, since mipmaps are built from them,
  // and no larger than the widget usually shows on screen. Textures are
  // filtered when enlarged but point-sampled when shrunk, so a picture
  // stored larger than it shows comes out jagged.
  int width, height;
  Role role;
  std::string mask;  // the mask to give widgets that show this picture, "" for none
  std::function<void(Image&)> draw;
};

const std::vector<TextureArt>& catalogue();

// The mask that widgets showing this texture are given, "" for none.
std::string mask_of(const std::string& texture);

// Where the image of a texture is written, relative to the runtime folder.
std::string image_path(const TextureArt& art);

}  // namespace zem::art
