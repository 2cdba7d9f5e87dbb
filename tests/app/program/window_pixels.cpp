#include "window_pixels.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

std::vector<int> window_red_row(const std::string& window, int x, int y, int width) {
  static Display* display = XOpenDisplay(nullptr);
  std::vector<int> row;
  XImage* image = display == nullptr || window.empty()
                      ? nullptr
                      : XGetImage(display, std::stoul(window), x, y, static_cast<unsigned>(width),
                                  1, AllPlanes, ZPixmap);
  if (image == nullptr) return row;
  int shift = 0;
  while (shift < 24 && ((image->red_mask >> shift) & 1) == 0) ++shift;
  for (int i = 0; i < width; ++i)
    row.push_back(static_cast<int>((XGetPixel(image, i, 0) & image->red_mask) >> shift) & 255);
  XDestroyImage(image);
  return row;
}
