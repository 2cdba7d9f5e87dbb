// A sample arrangement of widgets on the five panels, for looking at the
// textures in place (the preview picture and the window test). The
// program's own arrangement comes from its layout files.
#pragma once

#include <functional>
#include <string>

namespace zem::art {

// One widget: its texture, its centre in window coordinates, its width and
// height as the toolkit stores them (half the size on screen), its angle.
using widget_placer = std::function<void(const std::string& texture, float x, float y, float width,
                                         float height, float angle)>;

// The 800 x 625 window: drum, bass-line, oscillator, bass-line and drum
// panels from the top, each background placed before its widgets.
void lay_out_mock_window(const widget_placer& place);

}  // namespace zem::art
