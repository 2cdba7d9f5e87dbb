#include "widget_event.h"

#include <cstring>

#include "instrument_gui.h"

widget_event::widget_event(int32_t kind, const void* raw, const char* action, SPRITE* target)
    : kind(kind), raw_event{}, action{}, target(target) {
  if (raw != nullptr) std::memcpy(raw_event, raw, sizeof raw_event);
  if (action != nullptr) {
    const std::size_t length = strnlen(action, sizeof this->action - 1);
    std::memcpy(this->action, action, length);
  }
}

int32_t queue_event(INSTRUMENT_GUI& panel, std::unique_ptr<widget_event> record) {
  panel.event_queue.push_front(std::move(record));
  return 1;
}
