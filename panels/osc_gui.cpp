#include "osc_gui.h"

#include "layout_reader.h"

OSC_GUI::OSC_GUI(const char* name, int32_t x, int32_t y, int32_t panel_number)
    : INSTRUMENT_GUI(name, x, y, panel_number) {
  load_layout();
}

int32_t OSC_GUI::load_layout() {
  INSTRUMENT_GUI::load_layout();
  read_rc_file(*this, "RC/OSC.RC", engine_name, instrument_number);
  return 1;
}

// PLACEHOLDER until the OSC panel's own event pass and drawing land.
int32_t OSC_GUI::process_events() {
  INSTRUMENT_GUI::process_events();
  event_queue.clear();
  return 1;
}

int32_t OSC_GUI::update_view() {
  return INSTRUMENT_GUI::update_view();
}
