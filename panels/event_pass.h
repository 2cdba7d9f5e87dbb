#pragma once
// The two ways a panel goes through its event queue. The generic pass visits
// the records queued when it starts, oldest first, and removes only those it
// consumes; an engine panel's pass then takes every record left, oldest
// first, and removes them all.
#include <cstddef>

#include "disk_buttons.h"
#include "instrument_gui.h"
#include "widget_event.h"

// Whether a visited record leaves the queue (and is freed) or stays for the
// next pass.
enum class record_fate { stays, consumed };

// True for a mouse-button record of a release, the only button record that
// the panels act on.
inline bool is_button_release(const widget_event& record) {
  return record.kind != 0 && record.raw_type() == RAW_MOUSE_BUTTON_UP;
}

// Visits the records present when called, oldest (back) to newest (front);
// visit(record) returns its fate. Kept records keep their order.
template <typename Visit>
void visit_queued_events(widget_event_queue& queue, Visit visit) {
  for (std::size_t i = queue.size(); i-- > 0;) {
    if (visit(*queue[i]) == record_fate::consumed) {
      queue.erase(queue.begin() + static_cast<std::ptrdiff_t>(i));
    }
  }
}

// The engine panels' pass: takes each record about a widget, oldest first,
// through the disk buttons that all engine panels share and then to handle,
// and frees every record. The queue is empty afterwards.
template <typename Handle>
void drain_queued_events(INSTRUMENT_GUI& panel, Handle handle) {
  while (!panel.event_queue.empty()) {
    const widget_event& record = *panel.event_queue.back();
    if (record.target != nullptr) {
      release_disk_button(panel, record);
      handle(record);
    }
    panel.event_queue.pop_back();
  }
}
