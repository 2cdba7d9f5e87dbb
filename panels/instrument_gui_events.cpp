// PLACEHOLDER until the generic event pass lands.
#include "instrument_gui.h"

int32_t INSTRUMENT_GUI::process_events() {
  return 1;
}
