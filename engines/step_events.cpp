#include "step_events.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace {
std::atomic<step_event_poster> installed_poster{nullptr};

// Formats "a_BEEP_b" into a fresh 80-byte buffer and hands it to the poster.
// The buffer is the event's from then on; when nobody takes it (no poster, or
// the poster could not deliver it) it is freed here so that nothing leaks.
void post(int32_t code, int32_t a, int32_t b) {
  char* text = static_cast<char*>(std::malloc(step_event_text_size));
  if (text == nullptr) return;
  std::snprintf(text, step_event_text_size, "%d_BEEP_%d", a, b);
  const step_event_poster poster = installed_poster.load(std::memory_order_acquire);
  if (poster == nullptr || !poster(code, text)) std::free(text);
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
