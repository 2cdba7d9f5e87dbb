#pragma once
// Where the MIDI bindings are kept between runs, and reading and writing that
// file: "zem/midi-bindings.txt" in the user's configuration folder,
// $XDG_CONFIG_HOME, or ~/.config when that is unset, empty or not an
// absolute path. The file is replaced atomically, so a crash or a full disk
// never leaves it half-written.
#include <string>
#include <string_view>

// The file's path; empty when neither XDG_CONFIG_HOME nor HOME gives a folder.
std::string bindings_file_path();

// Reads the whole file into `text`. A file that does not exist reads as
// empty. False, with a one-line reason in `error`, when it exists and cannot
// be read, is not a regular file, or is larger than a bindings file can be.
bool read_bindings_file(const std::string& path, std::string& text, std::string& error);

// Writes `text` as the whole file, making its folder first.
bool write_bindings_file(const std::string& path, std::string_view text, std::string& error);
