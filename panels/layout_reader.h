#pragma once
// The layout files ("RC" files): sections of item lines that each create one
// sprite on a panel, with comments and includes, and the dump of a panel's
// current layout in the same syntax.
#include <cstdint>

class INSTRUMENT_GUI;

// Reads section `section` of the file at `path` into the panel's item list,
// appending "_INSTRUMENT_<number>" to every widget name and the panel's origin
// to every position. Returns 1. A file that cannot be opened, or a broken
// file, ends the process with exit code -1 after a message naming the file.
int32_t read_rc_file(INSTRUMENT_GUI& panel, const char* path, const char* section, int32_t number);

// Creates one sprite from the decoded fields of an item line (x and y already
// include the panel's origin) and appends it to the panel's items. Returns 1.
int32_t create_item(INSTRUMENT_GUI& panel, const char* full_name, const char* image,
                    const char* mask, int32_t x, int32_t y, int32_t width, int32_t height,
                    int32_t angle);

// Prints the panel's items on standard output in the item-line syntax, last
// item first, between "BEGIN <instrument name>" and "END". Returns 1.
int32_t dump_layout(INSTRUMENT_GUI& panel);
