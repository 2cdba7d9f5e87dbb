#pragma once
// Name and text utilities of the panels: widget searches over a panel's item
// list by the widget's control_name, and the ";"-separated fields of a text
// label's name. Widget names made by the layout reader end in the 13-character
// suffix "_INSTRUMENT_<digit>".
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class SPRITE;

constexpr int INSTRUMENT_SUFFIX_LENGTH = 13;

// The first item whose control_name, less its last 13 characters (a shorter
// name counts as empty), contains pattern, is not a label ("LABEL") and
// differs as a whole from own_name (null: no name excluded). Null when none.
SPRITE* find_companion(const char* pattern, const char* own_name,
                       const std::vector<SPRITE*>& items);
// The first item that is not a label and whose control_name equals name.
SPRITE* find_named(const char* name, const std::vector<SPRITE*>& items);

// The characters between the first and the second ";" (empty when there is
// no ";"; up to the end of the text when no second ";" closes the field).
std::string text_field_2(const char* text);
// The third and fourth fields, in the same way; none when the field is empty
// or absent.
std::optional<std::string> text_field_3(const char* text);
std::optional<std::string> text_field_4(const char* text);

// The position of word in text by the panels' own scan, which moves past a
// partial match: "AB" is not found in "AAB". -1 when not found.
int32_t position_of(const char* text, const char* word);
