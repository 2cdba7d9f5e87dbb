#pragma once
// The main loop: one input event per turn, and a new frame after every event
// that touched a panel or asked for a whole frame.
#include <cstdint>

// Runs until ESC, the window's close request, a failed resize or a quit signal
// (Ctrl-C, SIGTERM, SIGHUP) and returns the exit code to end with.
int32_t run_main_loop();
