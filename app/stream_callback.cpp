#include "stream_callback.h"

#include <atomic>

#include "engine_dispatch.h"

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
  // The engine is chosen by the instrument's name, in the one dispatch that
  // the rack and zem-render use too; a pattern-file load never changes the
  // name, so reading it here races with nothing.
  render_instrument(*instrument_of(user), stream, buffer, length, user);
  return 1;
}
