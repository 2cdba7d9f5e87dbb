#pragma once
// The record by which the input loop tells a panel what happened to one of its
// widgets, and the queue discipline: each panel keeps its own queue, newest
// record at the front, consumed from the back so records are handled in the
// order they were queued. Records are created, queued and consumed on the
// main thread only.
#include <cstdint>
#include <deque>
#include <memory>

class SPRITE;
class INSTRUMENT_GUI;

constexpr int WIDGET_EVENT_RAW_SIZE = 20;      // the window-system event record
constexpr int WIDGET_EVENT_ACTION_SIZE = 640;  // action text with its terminator

// Type codes found in the first byte of raw_event.
constexpr unsigned char RAW_MOUSE_BUTTON_DOWN = 5;
constexpr unsigned char RAW_MOUSE_BUTTON_UP = 6;

struct widget_event {
  // kind 1: a mouse-button press or release (action empty); kind 0: an action
  // ("TOUCH_IN", "TOUCH_OUT", "SLD_UP", "SLD_DOWN"). raw is the window-system
  // event as received (its first 20 bytes are kept; null gives zeros); a null
  // action leaves the action empty, a longer one is cut to 639 characters.
  widget_event(int32_t kind, const void* raw, const char* action, SPRITE* target);

  // The type code of the window-system event (6 for a button release).
  unsigned char raw_type() const { return raw_event[0]; }

  int32_t kind;
  unsigned char raw_event[WIDGET_EVENT_RAW_SIZE];
  char action[WIDGET_EVENT_ACTION_SIZE];
  SPRITE* target;
};

// Front: newest record; back: oldest. The queue owns its records.
using widget_event_queue = std::deque<std::unique_ptr<widget_event>>;

// Puts the record at the front of the panel's event_queue; returns 1.
int32_t queue_event(INSTRUMENT_GUI& panel, std::unique_ptr<widget_event> record);
