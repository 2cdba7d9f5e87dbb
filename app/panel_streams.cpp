#include "panel_streams.h"

void* stream_user_value(INSTRUMENT_GUI* panel) {
  return panel;
}

INSTRUMENT* instrument_of_panel(void* user) {
  // The panel first, then its INSTRUMENT part through the virtual base.
  INSTRUMENT_GUI* panel = static_cast<INSTRUMENT_GUI*>(user);
  return panel;
}
