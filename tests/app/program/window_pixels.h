#pragma once
// Pixels of a window grabbed from the X server directly, in a millisecond or
// so: quick enough to pin a picture between two reads of a recording. (Kept
// apart from the tests: the X headers' names clash with the test framework's.)
#include <memory>
#include <string>
#include <vector>

class window_pixels {
 public:
  // The window by its id, as xdotool prints it.
  explicit window_pixels(const std::string& window);
  ~window_pixels();
  window_pixels(const window_pixels&) = delete;
  window_pixels& operator=(const window_pixels&) = delete;

  // The red channel (0-255) of `width` pixels of row y from x on; empty on failure.
  std::vector<int> red_row(int x, int y, int width);

 private:
  struct connection;
  std::unique_ptr<connection> x_;
};
