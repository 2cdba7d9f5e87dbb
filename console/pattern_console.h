#pragma once
// The console operations of pattern files, behind the panels' disk buttons:
// clear the console, list the pattern files, ask for a name ("Entrez le nom
// du fichier svp : "), then save or load (engines/pattern_file.h); each prints
// one line saying what happened. The sound keeps playing meanwhile.
#include <cstdint>
#include <cstdio>
#include <filesystem>

#include "instrument.h"

// Where the console operations talk to the user: the prompt is read from `in`
// and printed on `out`, and the files of `folder` with the extension are
// listed; a typed name stands in `folder` (the working directory when empty).
// Session files are asked for the same way, listing *.zem.
struct pattern_console {
  FILE* in = stdin;
  FILE* out = stdout;
  std::filesystem::path folder;
  const char* extension = ".sta";
};

// Each returns 1 when done and 0 when cancelled (end of input, empty name, a
// quit signal at the prompt), refused (a name that cannot be taken whole) or
// failed.
int32_t save_pattern_file(INSTRUMENT& instrument);
int32_t load_pattern_file(INSTRUMENT& instrument);
int32_t save_pattern_file(INSTRUMENT& instrument, const pattern_console& console);
int32_t load_pattern_file(INSTRUMENT& instrument, const pattern_console& console);
