#pragma once
// Saving and loading an instrument's complete state as a pattern file
// (pattern_image.h).
//
// A save takes the state between two render blocks and writes it through a
// temporary file that replaces the destination only once complete, so a
// failed save leaves an existing file intact; a symbolic link is followed,
// and a device or a FIFO is written in place (atomic_file.h). A load reads
// only a regular file (anything else is refused at once), and checks the
// whole file first (size, engine name, sequencer ranges, finite numbers) and
// only then applies it between two render blocks; a refused file leaves the
// instrument exactly as it was.
#include <string>

#include "instrument.h"

// Each returns false with a one-line reason in `error` ("cannot open ...",
// "song.sta: not a TB808 pattern file: 1296 bytes"). The console operations
// of the panels' disk buttons (console/pattern_console.h) are built on them.
bool save_pattern(INSTRUMENT& instrument, const std::string& path, std::string& error);
bool load_pattern(INSTRUMENT& instrument, const std::string& path, std::string& error);
