// A picture to look at, not part of the installation: a mock of the 800 x 625
// window with the five panels drawn from the textures the way the widget
// toolkit draws sprites, enlarged widgets beside it, and every texture at its
// stored size below.
#pragma once

#include "raster.h"

namespace zem::art {

rgb_image render_preview();

}  // namespace zem::art
