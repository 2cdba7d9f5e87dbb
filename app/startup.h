#pragma once
// The program's start-up spine, one function per step, and its orderly end.
// Each start-up function prints its own failure message and ends the process
// with the exit code of that failure.
#include <array>

#include "instrument.h"

constexpr int instrument_count = 5;

// The five instruments in their fixed order; an index identifies an instrument
// everywhere. Each stream's user value is the instrument itself.
extern std::array<INSTRUMENT*, instrument_count> instrument_list;

// Step 1: the banner.
void print_banner();
// Step 2: the audio menus and initialisation; exit code -1 on failure, 0 on ESC.
void start_sound();
// Steps 5 and 6: constructs the five instruments (numbers 0 to 4) and fills
// instrument_list in its own order.
void build_instruments();
// Step 7: one stream per instrument, in instrument_list order; exit code 1 on failure.
void create_streams();
// Step 8: starts the streams on channels 0 to 4; exit code 1 on failure.
void start_streams();
// Keeps the process playing until ESC on the console or a termination signal.
void play_until_quit();
// Closes the streams and the audio layer and prints the late-block count.
void shut_down();
