// Reading the frame back from the window and keeping it as a picture file.
#pragma once

#include <string>

// Reads the back buffer's 800 x 625 window pixels (the frame about to be
// presented) and writes them to path as a 24-bit BMP. The file appears
// whole or not at all (io/atomic_file.h: a link is followed, a device or a
// pipe is written in place). Throws std::runtime_error when it cannot be written.
void write_back_buffer_bmp(const std::string& path);
