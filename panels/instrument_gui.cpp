#include "instrument_gui.h"

#include <cstdio>

#include "layout_reader.h"

INSTRUMENT_GUI::INSTRUMENT_GUI(const char* name, int32_t x, int32_t y, int32_t panel_number)
    : BASE(static_cast<float>(x), static_cast<float>(y), 0, name) {
  id = static_cast<uint32_t>(panel_number);
}

INSTRUMENT_GUI::~INSTRUMENT_GUI() {
  event_queue.clear();
  for (SPRITE* item : items) delete item;
}

int32_t INSTRUMENT_GUI::load_layout() {
  std::printf("ID %d \n", static_cast<int>(id));
  return 1;
}

int32_t INSTRUMENT_GUI::save_layout() {
  return dump_layout(*this);
}
