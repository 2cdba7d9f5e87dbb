#include "panel_rack.h"

#include "osc_gui.h"
#include "tb303_gui.h"
#include "tb808_gui.h"

panel_list build_panel_rack() {
  // Construction order fixes the instrument numbers: the drum panels are 0
  // and 4, the bass lines 1 and 3, the oscillator synthesizer 2. The names
  // that begin with 303 are those of the drum panels, and the panel number 1
  // is given twice, as the rack has always been arranged.
  INSTRUMENT_GUI* drums_1 = new TB808_GUI("303_1", 0, 0, 0);
  INSTRUMENT_GUI* bass_1 = new TB303_GUI("808_1", 0, 125, 1);
  INSTRUMENT_GUI* oscillators = new OSC_GUI("OSC_1", 0, 250, 4);
  INSTRUMENT_GUI* bass_2 = new TB303_GUI("808_2", 0, 375, 3);
  INSTRUMENT_GUI* drums_2 = new TB808_GUI("303_2", 0, 500, 1);
  return {bass_1, drums_1, oscillators, bass_2, drums_2};
}
