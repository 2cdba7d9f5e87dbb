#include "engine_dispatch.h"

#include <cstring>

#include "osc.h"
#include "tb303.h"
#include "tb808.h"

namespace {

template <typename Engine>
bool is_engine(const INSTRUMENT& instrument) {
  return dynamic_cast<const Engine*>(&instrument) != nullptr;
}

template <typename Engine>
std::unique_ptr<INSTRUMENT> make_engine() {
  return std::make_unique<Engine>();
}

// The engine's own render, not through the virtual table: the dispatch is by
// name, and the caller has checked that the instrument is this engine.
template <typename Engine>
void render_as(INSTRUMENT& instrument, void* stream, void* buffer, int length, void* user) {
  if (auto* engine = dynamic_cast<Engine*>(&instrument))
    engine->Engine::render(stream, buffer, length, user);
}

template <typename Engine>
constexpr engine_description describe(std::string_view name, int32_t image_size,
                                      int32_t block_offset, field_table (*fields)()) {
  return {name,
          image_size,
          block_offset,
          fields,
          &is_engine<Engine>,
          &make_engine<Engine>,
          &render_as<Engine>};
}

const engine_description descriptions[] = {
    describe<TB303>("TB303", 260340, 260124, &tb303_fields),
    describe<TB808>("TB808", 260348, 260132, &tb808_fields),
    describe<OSC>("OSC", 1296, 1080, &osc_fields),
};

}  // namespace

std::span<const engine_description> engine_descriptions() {
  return descriptions;
}

const engine_description* find_engine(std::string_view name) {
  for (const engine_description& engine : descriptions)
    if (engine.name == name) return &engine;
  return nullptr;
}

const engine_description* engine_of(const INSTRUMENT& instrument) {
  const char* name = instrument.engine_name;
  const engine_description* engine = find_engine({name, ::strnlen(name, engine_name_size)});
  return engine && engine->is_engine_of(instrument) ? engine : nullptr;
}

void render_instrument(INSTRUMENT& instrument, void* stream, void* buffer, int length, void* user) {
  if (const engine_description* engine = engine_of(instrument))
    engine->render(instrument, stream, buffer, length, user);
}
