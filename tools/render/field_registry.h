#pragma once
// zem-render's --set: every 32-bit integer or float field of an instrument and
// of its engine, by the name that the engines' field tables declare
// ("volume", "envelope_lfo.on", "pattern_memory", ...), with the bounds of its
// indices for arrays. Writing goes through the shared fields themselves,
// exactly as the panels do.
#include <string>
#include <string_view>

#include "field_table.h"
#include "instrument.h"

// The fields of the instrument's engine, chosen by its engine name (empty for
// an instrument without an engine).
field_table engine_fields(const INSTRUMENT& instrument);

// The field `name` (without indices) of this instrument, or nullptr.
const field_spec* find_field(const INSTRUMENT& instrument, std::string_view name);

// Sets FIELD (e.g. "pattern_memory[0][3]") to VALUE (the text after "=").
// Integer fields take only integers, floats only finite numbers, and either
// only the values that a pattern file may hold for the field (its table's
// range, the one check that saves and loads make too). On failure nothing is
// written and `error` holds a one-line reason ("current_step 1000 is outside
// 0 to 254").
bool set_field(INSTRUMENT& instrument, std::string_view field, std::string_view value,
               std::string& error);
