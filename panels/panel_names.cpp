#include "panel_names.h"

#include <cstring>
#include <string_view>

#include "widget.h"

namespace {
bool is_label(const SPRITE& item) {
  return std::strstr(item.control_name, "LABEL") != nullptr;
}

// The control_name without its instrument suffix; a name shorter than the
// suffix gives an empty text. A view: the searches run on every redraw.
std::string_view without_suffix(const SPRITE& item) {
  const std::size_t length = strnlen(item.control_name, sizeof item.control_name);
  if (length <= static_cast<std::size_t>(INSTRUMENT_SUFFIX_LENGTH)) return {};
  return std::string_view(item.control_name, length - INSTRUMENT_SUFFIX_LENGTH);
}

// The text between the n-th ";" (n from 1) and the next one, or the end of
// the text when no ";" closes it; none when the text has fewer than n ";".
std::optional<std::string> field_after(const char* text, int n) {
  if (text == nullptr) return std::nullopt;
  const char* start = text;
  for (int i = 0; i < n; ++i) {
    start = std::strchr(start, ';');
    if (start == nullptr) return std::nullopt;
    ++start;
  }
  const char* end = std::strchr(start, ';');
  return end ? std::string(start, end) : std::string(start);
}

std::optional<std::string> non_empty(std::optional<std::string> field) {
  if (field && field->empty()) return std::nullopt;
  return field;
}
}  // namespace

SPRITE* find_companion(const char* pattern, const char* own_name,
                       const std::vector<SPRITE*>& items) {
  for (SPRITE* item : items) {
    if (is_label(*item)) continue;
    if (without_suffix(*item).find(pattern) == std::string_view::npos) continue;
    if (own_name != nullptr && std::strcmp(item->control_name, own_name) == 0) continue;
    return item;
  }
  return nullptr;
}

SPRITE* find_named(const char* name, const std::vector<SPRITE*>& items) {
  for (SPRITE* item : items) {
    if (!is_label(*item) && std::strcmp(item->control_name, name) == 0) return item;
  }
  return nullptr;
}

std::string text_field_2(const char* text) {
  return field_after(text, 1).value_or("");
}

std::optional<std::string> text_field_3(const char* text) {
  return non_empty(field_after(text, 2));
}

std::optional<std::string> text_field_4(const char* text) {
  return non_empty(field_after(text, 3));
}

int32_t position_of(const char* text, const char* word) {
  const int32_t text_length = static_cast<int32_t>(std::strlen(text));
  const int32_t word_length = static_cast<int32_t>(std::strlen(word));
  int32_t i = 0;
  while (i <= text_length - word_length) {
    // Walk the word's characters from position i; a match moves i on, a
    // mismatch only moves on in the word. So a partial match leaves i past
    // its start, and the scan resumes from there.
    int32_t matched = 0;
    for (int32_t k = 0; k < word_length; ++k) {
      if (i < text_length && word[k] == text[i]) {
        ++matched;
        ++i;
      }
    }
    if (matched == word_length) return i - word_length;
    ++i;
  }
  return -1;
}
