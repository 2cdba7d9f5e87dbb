#pragma once
// The console prompt of the pattern-file operations.
#include <optional>
#include <string>

#include "pattern_console.h"

constexpr int pattern_name_size = 80;  // the name holds at most 79 characters
extern const char pattern_prompt[];    // "Entrez le nom du fichier svp : "

// Clears the console with a terminal escape sequence (no shell), lists the
// files of its folder with its extension (*.sta), one per line, prints the prompt and
// reads one word. The terminal, if `in` is one, reads a normal echoed line
// meanwhile and is put back as it was afterwards. A longer word is cut to 79
// characters. Empty when cancelled: end of input or an empty line, with a
// message on `out`.
std::optional<std::string> ask_pattern_file_name(const pattern_console& console);
