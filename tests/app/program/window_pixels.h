#pragma once
// The red channel (0-255) of a row of a window's pixels, grabbed from the X
// server in a millisecond or so: quick enough to pin a picture between two
// reads of a recording. Empty on failure. (Apart from the tests: the X
// headers' names clash with the test framework's.)
#include <string>
#include <vector>

std::vector<int> window_red_row(const std::string& window, int x, int y, int width);
