#include "frame_rate.h"

#include <cstdio>

int32_t frame_count = 0;
int32_t last_report_ticks = 0;

bool count_frame(uint32_t now, char (&caption)[NAME_FIELD_SIZE]) {
  ++frame_count;
  // Unsigned difference: stays right when the tick counter wraps.
  const uint32_t elapsed = now - static_cast<uint32_t>(last_report_ticks);
  if (elapsed < 5000) return false;
  const float seconds = static_cast<float>(elapsed / 1000.0);
  const float fps = static_cast<float>(frame_count / static_cast<double>(seconds));
  std::snprintf(caption, sizeof caption, "%d frames in %g seconds = %g FPS\n", frame_count,
                static_cast<double>(seconds), static_cast<double>(fps));
  last_report_ticks = static_cast<int32_t>(now);
  frame_count = 0;
  return true;
}
