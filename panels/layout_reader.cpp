// PLACEHOLDER until the layout reader lands: reads nothing.
#include "layout_reader.h"

int32_t read_rc_file(INSTRUMENT_GUI&, const char*, const char*, int32_t) {
  return 1;
}
int32_t create_item(INSTRUMENT_GUI&, const char*, const char*, const char*, int32_t, int32_t,
                    int32_t, int32_t, int32_t) {
  return 1;
}
int32_t dump_layout(INSTRUMENT_GUI&) {
  return 1;
}
