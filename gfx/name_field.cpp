#include "name_field.h"

#include <cstring>

void copy_name_field(char (&field)[NAME_FIELD_SIZE], const char* text) {
  std::size_t length = text ? strnlen(text, NAME_FIELD_SIZE - 1) : 0;
  if (length > 0) std::memmove(field, text, length);
  field[length] = '\0';
}
