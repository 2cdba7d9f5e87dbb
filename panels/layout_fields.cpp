#include "layout_fields.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>

token_status read_layout_token(std::FILE* file, layout_token& token) {
  int c;
  do {
    c = std::getc(file);
  } while (c != EOF && std::isspace(c));
  int length = 0;
  while (c != EOF && !std::isspace(c)) {
    if (length == LAYOUT_TOKEN_MAX) {
      token.text[length] = '\0';
      return token_status::too_long;
    }
    token.text[length++] = static_cast<char>(c);
    c = std::getc(file);
  }
  token.text[length] = '\0';
  return length == 0 ? token_status::end_of_file : token_status::read;
}

bool parse_layout_integer(const char* text, int32_t& value) {
  if (*text == '\0' || std::isspace(static_cast<unsigned char>(*text))) return false;
  char* end = nullptr;
  errno = 0;
  const long parsed = std::strtol(text, &end, 10);
  if (*end != '\0' || errno == ERANGE || parsed < INT32_MIN || parsed > INT32_MAX) return false;
  value = static_cast<int32_t>(parsed);
  return true;
}

int32_t truncate_to_int32(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return INT32_MAX;
  if (value <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(value);
}
