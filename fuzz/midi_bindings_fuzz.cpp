// Feeds arbitrary text to the MIDI bindings reader. Whatever the text, every
// bad line is an error with its number, and the bindings that it keeps write
// out as a text that reads back to the same bindings with no error.
//
// The bytes 1 to 5 stand for "channel ", " cc ", " -> panel ", "SLD_" and
// "BUTTON_TOGGLE_" (a built-in dictionary), so that good lines are reached.
#include <cstddef>
#include <cstdint>
#include <string>

#include "midi_bindings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const char* const words[] = {"channel ", " cc ", " -> panel ", "SLD_", "BUTTON_TOGGLE_"};
  std::string text;
  for (size_t i = 0; i < size; ++i) {
    const uint8_t byte = data[i];
    if (byte >= 1 && byte <= 5) {
      text += words[byte - 1];
    } else {
      text += static_cast<char>(byte);
    }
  }
  const parsed_bindings parsed = parse_bindings(text);
  int32_t last_line = 0;
  for (const binding_error& error : parsed.errors) {
    if (error.line <= last_line || error.message.empty()) __builtin_trap();
    last_line = error.line;
  }
  const std::string written = format_bindings(parsed.bindings);
  const parsed_bindings again = parse_bindings(written);
  if (!again.errors.empty() || format_bindings(again.bindings) != written) __builtin_trap();
  return 0;
}
