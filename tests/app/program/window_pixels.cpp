#include "window_pixels.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

struct window_pixels::connection {
  Display* display = nullptr;
  Window window = 0;
};

window_pixels::window_pixels(const std::string& window) : x_(std::make_unique<connection>()) {
  x_->display = XOpenDisplay(nullptr);
  x_->window = window.empty() ? 0 : std::stoul(window);
}

window_pixels::~window_pixels() {
  if (x_->display != nullptr) XCloseDisplay(x_->display);
}

std::vector<int> window_pixels::red_row(int x, int y, int width) {
  std::vector<int> row;
  if (x_->display == nullptr || x_->window == 0) return row;
  XImage* image =
      XGetImage(x_->display, x_->window, x, y, static_cast<unsigned>(width), 1, AllPlanes, ZPixmap);
  if (image == nullptr) return row;
  int shift = 0;
  while (shift < 32 && ((image->red_mask >> shift) & 1) == 0) ++shift;
  for (int i = 0; i < width; ++i)
    row.push_back(static_cast<int>((XGetPixel(image, i, 0) & image->red_mask) >> shift) & 255);
  XDestroyImage(image);
  return row;
}
