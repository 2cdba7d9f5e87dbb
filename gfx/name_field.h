// Fixed 80-byte text fields used for the names of on-screen objects and textures.
#pragma once

#include <cstddef>

constexpr std::size_t NAME_FIELD_SIZE = 80;

// Copies text into an 80-byte field: at most 79 characters, always terminated.
// A null text leaves the field empty.
void copy_name_field(char (&field)[NAME_FIELD_SIZE], const char* text);
