// PLACEHOLDER until the generic drawing lands.
#include "instrument_gui.h"

int32_t INSTRUMENT_GUI::update_view() {
  return 1;
}
void INSTRUMENT_GUI::show_current_step(int32_t) {}
void INSTRUMENT_GUI::show_pattern(int32_t) {}
