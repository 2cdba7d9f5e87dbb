#pragma once
// The layout files ("RC" files): sections of item lines that each create one
// sprite on a panel, with comments and includes, and the dump of a panel's
// current layout in the same syntax.
#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>

class INSTRUMENT_GUI;

// Includes may nest this deep below the file that read_rc_file opens.
constexpr int LAYOUT_INCLUDE_DEPTH_MAX = 8;
// One reading takes in at most this many included sections in all, so that
// a section included many times at every level cannot run on for ages.
constexpr int LAYOUT_INCLUDE_COUNT_MAX = 256;

// Opens a layout file for reading ("r"); null when it cannot be opened.
std::FILE* open_layout_file(const char* path);

// Where a reading takes its files from and where its trace lines go.
struct layout_source {
  std::function<std::FILE*(const char* path)> open = open_layout_file;
  std::FILE* trace = stdout;
};

// Reads section `section` of the file at `path`, following its includes, and
// only when all of it is sound appends its items to the panel: widget names
// get "_INSTRUMENT_<number>", positions the panel's origin. A missing section
// is not an error, but an included section that its file does not hold is.
// Returns a one-line message naming the faulty file when a file cannot be
// opened or is broken; the panel is then left as it was.
std::optional<std::string> read_layout(INSTRUMENT_GUI& panel, const char* path, const char* section,
                                       int32_t number, const layout_source& source = {});

// read_layout on standard output. Returns 1. A file that cannot be opened,
// or a broken file, ends the program with exit code -1 after the message
// (program_end.h).
int32_t read_rc_file(INSTRUMENT_GUI& panel, const char* path, const char* section, int32_t number);

// Creates one sprite from the decoded fields of an item line (x and y already
// include the panel's origin) and appends it to the panel's items. Returns 1.
int32_t create_item(INSTRUMENT_GUI& panel, const char* full_name, const char* image,
                    const char* mask, int32_t x, int32_t y, int32_t width, int32_t height,
                    int32_t angle);

// Prints the panel's items on standard output (or on out) in the item-line
// syntax, last item first, between "BEGIN <instrument name>" and "END", with
// positions relative to the panel and the angle written as 0. Fills each
// item's mask_name from the texture library. Returns 1.
int32_t dump_layout(INSTRUMENT_GUI& panel);
int32_t dump_layout(INSTRUMENT_GUI& panel, std::FILE* out);
