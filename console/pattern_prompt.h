#pragma once
// The console prompt of the pattern-file operations.
#include <optional>
#include <string>

#include "pattern_console.h"

constexpr int pattern_name_size = 80;  // the name holds at most 79 characters
extern const char pattern_prompt[];    // "Entrez le nom du fichier svp : "

// Clears the console with a terminal escape sequence (no shell), lists the
// files of its folder with its extension (*.sta), one per line, prints the prompt and
// reads one line. The terminal, if `in` is one, reads a normal echoed line
// meanwhile and is put back as it was afterwards; what was typed on it before
// the prompt showed is discarded. The line, without its leading and trailing
// blanks, is the name, taken whole or not at all.
//
// Empty, with one line on `out` saying why, when there is no name to take:
// - cancelled: end of input, an empty line, or a termination signal
//   (console_keys.h) while the prompt waits, which the caller then acts on;
// - refused: a name longer than 79 characters (bytes), a name with blanks
//   inside ("my song.sta" is not taken as "my"), or with control characters.
std::optional<std::string> ask_pattern_file_name(const pattern_console& console);
