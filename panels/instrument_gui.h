#pragma once
// INSTRUMENT_GUI: the screen side of an instrument. A BASE widget at the
// panel's origin that owns the widgets read from its layout file and a queue
// of widget events from the input loop. It derives virtually from INSTRUMENT,
// so an engine panel (TB303_GUI, TB808_GUI, OSC_GUI) holds one instrument that
// its screen side edits and its engine plays.
//
// Everything common to all panels lives here: the voice-chain switches and
// knobs, pattern and bank buttons, step lights, pattern counter, read-outs
// while a knob is held, and text labels.
#include <cstdint>
#include <vector>

#include "instrument.h"
#include "widget.h"
#include "widget_event.h"

class INSTRUMENT_GUI : public BASE, virtual public INSTRUMENT {
 public:
  // The panel sits at ((float)x, (float)y, 0); its id becomes panel_number.
  INSTRUMENT_GUI(const char* name, int32_t x, int32_t y, int32_t panel_number);
  ~INSTRUMENT_GUI() override;
  INSTRUMENT_GUI(const INSTRUMENT_GUI&) = delete;
  INSTRUMENT_GUI& operator=(const INSTRUMENT_GUI&) = delete;

  // The generic event pass: acts on the instrument-wide widgets and removes
  // the records it consumes; the others stay for the engine panel's pass.
  virtual int32_t process_events();
  // Prints "ID <id>"; the engine panels then read their layout file.
  virtual int32_t load_layout();
  // Prints the current layout on standard output (the F2 key).
  virtual int32_t save_layout();
  // Draws the widgets, labels, read-outs and pattern counter, and updates the
  // step lights and pattern buttons. Needs the GL context and the fonts.
  virtual int32_t update_view();

  // Turns every switch light, knob and display to the instrument's state,
  // after a load (a pattern file, a session) has changed it behind the
  // controls' backs. The step lights and pattern buttons follow the state
  // at every update_view anyway.
  virtual void show_state();

  // Step light `step` shows "CHK_1_OFF", the others (0 to 16) "CHK_1_ON".
  void show_current_step(int32_t step);
  // Lights pattern button pattern % 8 + 1 and bank button pattern / 8 + 1.
  void show_pattern(int32_t pattern);

  std::vector<SPRITE*> items;  // layout-file order; owned by the panel
  widget_event_queue event_queue;
};
