#pragma once
// A step-event poster for tests: while a step_event_recorder lives, every
// posted event is recorded as its code and the text "<instrument>_BEEP_<number>".
// Events may come from any thread.
//
//   step_event_recorder events;
//   engine.render(...);
//   EXPECT_EQ(events.texts(), (std::vector<std::string>{"0_BEEP_22"}));
#include <cstdint>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "step_events.h"

struct recorded_step_event {
  int32_t code;
  std::string text;
  bool operator==(const recorded_step_event&) const = default;
};

class step_event_recorder {
 public:
  step_event_recorder() {
    reset();
    set_step_event_poster(&record);
  }
  ~step_event_recorder() {
    set_step_event_poster(nullptr);
    reset();
  }
  step_event_recorder(const step_event_recorder&) = delete;
  step_event_recorder& operator=(const step_event_recorder&) = delete;

  std::vector<recorded_step_event> events() const {
    std::lock_guard lock(state().mutex);
    return state().events;
  }
  // Texts of the events with the given code (pass_end_event_code or
  // step_event_code), oldest first.
  std::vector<std::string> texts(int32_t code) const {
    std::vector<std::string> result;
    for (const recorded_step_event& event : events())
      if (event.code == code) result.push_back(event.text);
    return result;
  }
  std::vector<std::string> pass_end_texts() const { return texts(pass_end_event_code); }
  std::vector<std::string> step_texts() const { return texts(step_event_code); }
  size_t size() const { return events().size(); }

  void clear() {
    std::lock_guard lock(state().mutex);
    state().events.clear();
  }

 private:
  struct shared_state {
    std::mutex mutex;
    std::vector<recorded_step_event> events;
  };
  static shared_state& state() {
    static shared_state instance;
    return instance;
  }
  static void reset() {
    std::lock_guard lock(state().mutex);
    state().events.clear();
  }
  static void record(const step_event& event) {
    std::lock_guard lock(state().mutex);
    state().events.push_back(
        {event.code, std::to_string(event.instrument) + "_BEEP_" + std::to_string(event.number)});
  }
};
