#include "stream_callback.h"

#include <atomic>
#include <cstring>

#include "osc.h"
#include "tb303.h"
#include "tb808.h"

namespace {
// Runs the render of `Engine` itself, not through the virtual table. The name
// comes from the instrument's block, which a pattern file can overwrite, so the
// instrument is checked to really be that engine before its render runs on it.
template <typename Engine>
void render_as(INSTRUMENT* instrument, FSOUND_STREAM* stream, void* buffer, int length,
               void* user) {
  if (auto* engine = dynamic_cast<Engine*>(instrument))
    engine->Engine::render(stream, buffer, length, user);
}
}  // namespace

namespace {
INSTRUMENT* instrument_itself(void* user) {
  return static_cast<INSTRUMENT*>(user);
}
// Installed on the main thread before any stream exists and read on the audio thread.
std::atomic<user_value_reader> user_reader{instrument_itself};
}  // namespace

void set_stream_user_reader(user_value_reader reader) {
  user_reader.store(reader != nullptr ? reader : instrument_itself, std::memory_order_release);
}

INSTRUMENT* instrument_of(void* user) {
  return user_reader.load(std::memory_order_acquire)(user);
}

signed char stream_callback(FSOUND_STREAM* stream, void* buffer, int length, void* user) {
  INSTRUMENT* instrument = instrument_of(user);
  const char* name = instrument->engine_name;
  // strcmp stops at the end of the shorter text, so an unterminated name is
  // never read past its sixth byte.
  if (std::strcmp(name, "TB303") == 0)
    render_as<TB303>(instrument, stream, buffer, length, user);
  else if (std::strcmp(name, "TB808") == 0)
    render_as<TB808>(instrument, stream, buffer, length, user);
  else if (std::strcmp(name, "OSC") == 0)
    render_as<OSC>(instrument, stream, buffer, length, user);
  return 1;
}
