#pragma once
// The one place where an engine is chosen by the instrument's `engine_name`
// ("TB303", "TB808" or "OSC"): the stream callback, the rack, zem-render and
// the pattern files all go through it, so offline and live take the same path.
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "field_table.h"
#include "instrument.h"

struct engine_description {
  std::string_view name;  // the engine_name of its instruments
  int32_t image_size;     // bytes of its pattern file
  int32_t block_offset;   // where the INSTRUMENT block stands in that file
  field_table (*fields)();
  // True when the instrument really is this engine.
  bool (*is_engine_of)(const INSTRUMENT& instrument);
  std::unique_ptr<INSTRUMENT> (*make)();
  // Runs the engine's own render on an instrument that is this engine.
  void (*render)(INSTRUMENT& instrument, void* stream, void* buffer, int length, void* user);
};

// The three engines.
std::span<const engine_description> engine_descriptions();

// The engine named `name` (an exact match), or nullptr.
const engine_description* find_engine(std::string_view name);

// The engine that the instrument's name chooses, when the instrument really is
// that engine; nullptr otherwise (a bare INSTRUMENT, an unknown name). The name
// is read no further than its 80 bytes, terminated or not.
const engine_description* engine_of(const INSTRUMENT& instrument);

// Renders `length` bytes through the engine that the instrument's name
// chooses. An instrument without an engine leaves the buffer untouched.
// Allocates nothing and takes no lock: this runs on the audio thread.
void render_instrument(INSTRUMENT& instrument, void* stream, void* buffer, int length, void* user);
