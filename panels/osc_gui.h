#pragma once
// OSC_GUI: the three-oscillator panel. Besides the generic controls it edits
// the eight step notes and, per oscillator, its switch, waveform number,
// factor and offset.
#include <cstdint>

#include "instrument_gui.h"
#include "osc.h"

class OSC_GUI : public INSTRUMENT_GUI, public OSC {
 public:
  // Builds the instrument, the panel at (x, y) and the engine, then reads the
  // layout file.
  OSC_GUI(const char* name, int32_t x, int32_t y, int32_t panel_number);

  int32_t process_events() override;
  int32_t load_layout() override;
  int32_t update_view() override;
  void show_state() override;
};
