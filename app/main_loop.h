#pragma once
// The main loop. Each turn it takes the pending input (a bounded number of
// events) and, once per display frame, the step events from the rings, the
// moves of the sequencers and the state of the recordings; then it draws one
// frame of every panel that changed.
#include <cstdint>

// Runs until ESC, the window's close request, a failed resize or a quit signal
// (Ctrl-C, SIGTERM, SIGHUP) and returns the exit code to end with.
int32_t run_main_loop();
