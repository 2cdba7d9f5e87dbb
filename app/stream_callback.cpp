#include "stream_callback.h"

#include "engine_dispatch.h"

INSTRUMENT* instrument_of(void* user) {
  return static_cast<INSTRUMENT*>(user);
}

signed char stream_callback(FSOUND_STREAM* stream, void* buffer, int length, void* user) {
  // The engine is chosen by the instrument's name, in the one dispatch that
  // the rack and zem-render use too; a pattern-file load never changes the
  // name, so reading it here races with nothing.
  render_instrument(*instrument_of(user), stream, buffer, length, user);
  return 1;
}
