#pragma once
// TB808_GUI: the drum panel. Besides the generic controls it switches the
// eight steps of the playing pattern and edits the four drum-voice parameters.
#include <cstdint>

#include "instrument_gui.h"
#include "tb808.h"

class TB808_GUI : public INSTRUMENT_GUI, public TB808 {
 public:
  // Builds the instrument, the panel at (x, y) and the engine, then reads the
  // layout file.
  TB808_GUI(const char* name, int32_t x, int32_t y, int32_t panel_number);

  int32_t process_events() override;
  int32_t load_layout() override;
  int32_t update_view() override;
  void show_state() override;
};
