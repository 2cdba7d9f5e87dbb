#pragma once
// The fields of a layout file: whitespace-separated tokens of at most 79
// characters, and the decimal integers of an item line.
#include <cstdint>
#include <cstdio>

constexpr int LAYOUT_TOKEN_MAX = 79;

struct layout_token {
  char text[LAYOUT_TOKEN_MAX + 1];
};

enum class token_status {
  read,         // text holds the token
  end_of_file,  // no token before the end of the file
  too_long,     // the token has more than 79 characters; text holds the first 79
};

// Reads the next run of non-blank characters (blanks as for "%s").
token_status read_layout_token(std::FILE* file, layout_token& token);

// Parses a whole token as a decimal integer, optionally signed, in the
// 32-bit range. False when any character is left over or the value overflows.
bool parse_layout_integer(const char* text, int32_t& value);

// value truncated towards zero, held to the 32-bit range (NaN gives 0).
int32_t truncate_to_int32(double value);
