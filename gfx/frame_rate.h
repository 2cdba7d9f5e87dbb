// The frame-rate report shown in the window caption.
#pragma once

#include <cstdint>

#include "name_field.h"

// Frames presented since the last report, and the tick count of that report.
extern int32_t frame_count;
extern int32_t last_report_ticks;

// Counts one presented frame at now (milliseconds). When at least 5000 ms have
// passed since the last report, writes the report line into caption, starts a
// new period and returns true.
bool count_frame(uint32_t now, char (&caption)[NAME_FIELD_SIZE]);
