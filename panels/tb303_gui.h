#pragma once
// TB303_GUI: the bass-line panel. Besides the generic controls it edits the
// waveform (button and display), the two wave parameters and the sixteen step
// notes of the playing pattern; the disk buttons save and load the instrument.
#include <cstdint>

#include "instrument_gui.h"
#include "tb303.h"

class TB303_GUI : public INSTRUMENT_GUI, public TB303 {
 public:
  // Builds the instrument, the panel at (x, y) and the engine, then reads the
  // layout file.
  TB303_GUI(const char* name, int32_t x, int32_t y, int32_t panel_number);

  int32_t process_events() override;
  int32_t load_layout() override;
  int32_t update_view() override;
  void show_state() override;
};
