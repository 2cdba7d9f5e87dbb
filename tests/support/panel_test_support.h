// Panels for the panel tests: each engine panel built from layout files whose
// sections are empty, then given the widgets a test needs, and records queued
// on it as the input loop queues them. Header only, for the test programs that
// link the panels (the support library itself needs no GUI).
#pragma once

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "knob_table.h"
#include "layout_reader.h"
#include "osc_gui.h"
#include "tb303_gui.h"
#include "tb808_gui.h"
#include "temp_folder.h"
#include "widget_event.h"

namespace panel_test {

// The engine panel of that kind at (0, 125), built in a fresh folder whose
// layout files hold an empty section for every engine, so it starts with no
// widgets; the generic knobs are tried on a bass-line panel.
inline std::unique_ptr<INSTRUMENT_GUI> make_panel(knob_panel kind) {
  const zem_test::temp_folder folder(true);
  std::filesystem::create_directory(folder.path() / "RC");
  for (const char* file : {"RC/TB303.RC", "RC/TB808.RC", "RC/OSC.RC"}) {
    std::ofstream(folder.file(file)) << "BEGIN TB303\nEND\nBEGIN TB808\nEND\nBEGIN OSC\nEND\nEOF\n";
  }
  switch (kind) {
    case knob_panel::generic:
    case knob_panel::tb303:
      return std::make_unique<TB303_GUI>("808_1", 0, 125, 1);
    case knob_panel::tb808:
      return std::make_unique<TB808_GUI>("303_1", 0, 125, 0);
    case knob_panel::osc:
      return std::make_unique<OSC_GUI>("OSC_1", 0, 125, 4);
  }
  return nullptr;
}

inline TB303_GUI& bass(INSTRUMENT_GUI& panel) {
  return static_cast<TB303_GUI&>(panel);
}
inline TB808_GUI& drums(INSTRUMENT_GUI& panel) {
  return static_cast<TB808_GUI&>(panel);
}
inline OSC_GUI& oscillators(INSTRUMENT_GUI& panel) {
  return static_cast<OSC_GUI&>(panel);
}

// The control_name that the layout reader gives the widget `name`.
inline std::string full_name(const INSTRUMENT_GUI& panel, const std::string& name) {
  return name + "_INSTRUMENT_" + std::to_string(panel.instrument_number);
}

// Appends a widget through the layout reader's create_item: centred at
// (x, y) of the window, picked over width x height and drawn at twice that.
inline SPRITE& add_widget(INSTRUMENT_GUI& panel, const std::string& name, const char* image = "",
                          int32_t x = 100, int32_t y = 180, int32_t width = 10,
                          int32_t height = 10) {
  create_item(panel, full_name(panel, name).c_str(), image, "", x, y, width, height, 0);
  return *panel.items.back();
}

// A mouse-button record: type code 5 for a press, 6 for a release.
inline void queue_button(INSTRUMENT_GUI& panel, SPRITE& widget, unsigned char type) {
  unsigned char raw[WIDGET_EVENT_RAW_SIZE] = {type, 0, 1};
  queue_event(panel, std::make_unique<widget_event>(1, raw, nullptr, &widget));
}

inline void release(INSTRUMENT_GUI& panel, SPRITE& widget) {
  queue_button(panel, widget, RAW_MOUSE_BUTTON_UP);
  panel.process_events();
}

// Queues `count` records of one action and lets the panel consume them.
inline void act(INSTRUMENT_GUI& panel, SPRITE& widget, const char* action, int count = 1) {
  for (int i = 0; i < count; ++i) {
    queue_event(panel, std::make_unique<widget_event>(0, nullptr, action, &widget));
  }
  panel.process_events();
}

}  // namespace panel_test
