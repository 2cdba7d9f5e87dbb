#pragma once
// Saving and loading an instrument's complete state as a pattern file
// (pattern_image.h).
//
// A save takes the state between two render blocks and writes it through a
// temporary file that replaces the destination only once complete, so a
// failed save leaves an existing file intact. A load reads and checks the
// whole file first (size, engine name, sequencer ranges, finite numbers) and
// only then applies it between two render blocks; a refused file leaves the
// instrument exactly as it was.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "instrument.h"

// Each returns false with a one-line reason in `error` ("cannot open ...",
// "song.sta: not a TB808 pattern file: 1296 bytes").
bool save_pattern(INSTRUMENT& instrument, const std::string& path, std::string& error);
bool load_pattern(INSTRUMENT& instrument, const std::string& path, std::string& error);

// Where the console operations talk to the user: the prompt is read from `in`
// and printed on `out`, and the *.sta files of `folder` are listed; a typed
// name stands in `folder` (the working directory when empty).
struct pattern_console {
  FILE* in = stdin;
  FILE* out = stdout;
  std::filesystem::path folder;
};

// The console operations behind the panels' disk buttons: clear the console,
// list the pattern files, ask for a name ("Entrez le nom du fichier svp : "),
// then save or load; each prints one line saying what happened. They return 1
// when done and 0 when cancelled (end of input, empty name) or failed. The
// sound keeps playing meanwhile.
int32_t save_pattern_file(INSTRUMENT& instrument);
int32_t load_pattern_file(INSTRUMENT& instrument);
int32_t save_pattern_file(INSTRUMENT& instrument, const pattern_console& console);
int32_t load_pattern_file(INSTRUMENT& instrument, const pattern_console& console);
