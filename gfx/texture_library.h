// The texture library: every image of the user interface, addressed by name.
// Slot i uses GL texture object i; slot 0 doubles as "not found".
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "name_field.h"

constexpr int TEXTURE_SLOTS = 400;
// Longest token of the archive index file; longer tokens are refused.
constexpr int ARCHIVE_TOKEN_MAX = 59;

// Loads an image file into a texture object and gives back its size; returns
// false on failure (after printing why). The real one uploads to GL; tests and
// the fuzzer pass their own.
using texture_loader = bool (*)(const char* path, int32_t texture_object, int32_t* width,
                                int32_t* height);

class TEXTURE_LIBRARY {
 public:
  // Reads the archive index at path and loads its SIMPLEPART entries through
  // loader. Ends the program with exit code -1 when the archive is refused
  // (open_archive, program_end.h).
  TEXTURE_LIBRARY(const char* path, texture_loader loader);
  // An empty library, filled by its owner.
  explicit TEXTURE_LIBRARY(texture_loader loader);

  // open_archive, ending the program with its message and exit code -1 when
  // the archive is refused.
  void read_archive(const char* path);
  // Prints the opening line, then reads the archive index at path and loads
  // its SIMPLEPART entries. Returns the message when the archive is refused:
  // a file that cannot be opened (the library is then left as it was), one
  // that is not a regular file, cannot be read, or ends before its "END"
  // (an archive cut short; what it listed before the cut stays loaded).
  // Nothing past the file's size at the opening is read.
  std::optional<std::string> open_archive(const char* path);
  // Reads the entries of an open archive index (the two header tokens first),
  // no further than `size` bytes. True when the list ended with its "END".
  bool read_entries(std::FILE* file, uint64_t size);
  // Smallest slot whose name equals name, 0 when there is none.
  int32_t find_texture(const char* name) const;
  // Loads path under name; returns the slot, or a negative value on failure.
  int32_t load_texture(const char* path, const char* name);
  void register_texture(const char* name, int32_t width, int32_t height);

  int32_t texture_ids[TEXTURE_SLOTS];
  int32_t widths[TEXTURE_SLOTS] = {};
  int32_t heights[TEXTURE_SLOTS] = {};
  char names[TEXTURE_SLOTS][NAME_FIELD_SIZE] = {};
  int32_t count = 0;

 private:
  texture_loader loader_;
};

// The library read from "OPENGL.ZPK" at start-up.
extern TEXTURE_LIBRARY* texture_library;
