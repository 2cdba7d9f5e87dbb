// Every texture of the installation: its name in the index, its stored size,
// the picture drawn into it and the mask that goes with it. The index lists
// the textures in this order; the first one ("NONE") is what unknown names
// show, and the layout dump writes it as the mask of unmasked widgets.
//
// Using them in a layout file:
// - width and height are half the on-screen size. Shown at its stored size
//   or larger a picture stays smooth; shrunk, it is sampled texel by texel
//   and thin rims turn dotted: down to three quarters (a 32 x 32 knob at
//   14 14, a key at 12 12) this barely shows; below that use a picture
//   stored smaller (the step rows show "SLIDER_SMALL", 16 x 16, at 12 12).
// - give a widget the mask its texture names here ("KNOB" with "MASK_KNOB",
//   "CHK_1_ON" with "MASK_LED", ...); the switched pictures share one mask.
// - knobs point to 9 o'clock at angle 0 and turn clockwise.
// - a background, e.g. "BACK_TB303" at 400 62 with width 400 and height 63,
//   is the last item of its section: items are drawn from last to first,
//   and masks, shadows and glows need the background drawn under them.
// - text labels are not drawn as images: give them "BACK_LABEL", which the
//   pointer never picks, and a width and height of 0.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "raster.h"

namespace zem::art {

enum class texture_role {
  neutral,     // slot 0: shown for names the library does not hold
  background,  // a panel background; its name contains "BACK"
  label,       // the image of text labels: never drawn, and its "BACK" keeps
               // the pointer from picking a label
  widget,      // a widget picture
  mask,        // drawn under widget pictures, never shown alone
};

struct texture_art {
  std::string name;
  // Stored size in pixels: powers of two, since mipmaps are built from them,
  // and no larger than the widget usually shows on screen. Textures are
  // filtered when enlarged but point-sampled when shrunk, so a picture
  // stored larger than it shows comes out jagged.
  int width, height;
  texture_role role;
  std::string mask;  // the mask to give widgets that show this picture, "" for none
  std::function<void(rgb_image&)> draw;
};

const std::vector<texture_art>& catalogue();

// The mask that widgets showing this texture are given, "" for none.
std::string mask_of(const std::string& texture);

// Where the image of a texture is written, relative to the runtime folder.
std::string image_path(const texture_art& art);

}  // namespace zem::art
