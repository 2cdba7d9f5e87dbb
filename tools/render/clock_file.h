#pragma once
// zem-render's --clock FILE: the messages of an outside clock for the rack to
// follow, one a line, at rack frames counted from the render's first frame:
//
//   # a comment; blank lines are skipped
//   8000 start           Start (0xFA)
//   8000                 a pulse (0xF8), 24 a quarter note; also "8000 pulse"
//   8787 pulse
//   90000 stop           Stop (0xFC)
//   90500 position 16    Song Position Pointer (0xF2), in sixteenth notes (steps)
//   91000 continue       Continue (0xFB)
//
// Frames are whole numbers that never go back. Every line is checked; the
// first bad one is reported as "FILE:LINE: reason".
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "clock_messages.h"

// The messages of a clock file's text; false with a one-line reason
// ("line N: ...") in `error`.
bool parse_clock_text(std::string_view text, std::vector<clock_message>& messages,
                      std::string& error);

// The text of a clock file holding `messages` (in frame order), one a line,
// as parse_clock_text reads it back: a live program's clock, written down,
// is rendered again by zem-render.
std::string clock_file_text(std::span<const clock_message> messages);

// Reads and parses the file; the reason names the file.
bool load_clock_file(const std::string& path, std::vector<clock_message>& messages,
                     std::string& error);
