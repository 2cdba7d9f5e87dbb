#include "step_events.h"

#include <atomic>

namespace {
std::atomic<step_event_poster> installed_poster{nullptr};

void post(int32_t code, int32_t a, int32_t b) {
  const step_event_poster poster = installed_poster.load(std::memory_order_acquire);
  if (poster != nullptr) poster(step_event{code, a, b});
}
}  // namespace

void set_step_event_poster(step_event_poster poster) {
  installed_poster.store(poster, std::memory_order_release);
}

int32_t post_pass_end_event(int32_t a, int32_t b) {
  post(pass_end_event_code, a, b);
  return 1;
}

int32_t post_step_event(int32_t a, int32_t b) {
  post(step_event_code, a, b);
  return 1;
}
