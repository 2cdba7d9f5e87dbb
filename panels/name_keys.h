#pragma once
// How the panels read their widgets' names: a widget answers to a key that
// its control_name contains, and some keys carry a digit at a fixed place.
#include <cstddef>
#include <cstring>

// True when name contains key (a substring test, as every widget key is).
inline bool has_key(const char* name, const char* key) {
  return std::strstr(name, key) != nullptr;
}

// The value of the digit at position index of name; -1 when the name is
// shorter or holds no digit there, so a short or odd name never reads past
// its end or yields a wild number.
inline int digit_at(const char* name, std::size_t index) {
  if (index >= std::strlen(name)) return -1;
  const char c = name[index];
  return c >= '0' && c <= '9' ? c - '0' : -1;
}
