// Feeds arbitrary text to the MIDI bindings reader. Whatever the text, every
// line is either a binding or an error with its number, and the bindings
// that it keeps write out as a text that reads back to the same bindings
// with no error.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "midi_bindings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
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
