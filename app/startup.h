#pragma once
// The program's start-up spine, one function per step, and its orderly end.
// Each start-up function prints its own failure message and ends the process
// with the exit code of that failure.
#include <array>

#include "instrument.h"
#include "rack_members.h"

// The instruments of the rack in their list order (rack_members.h); an index
// identifies an instrument everywhere. In the program they are the
// instruments of the panels.
extern std::array<INSTRUMENT*, instrument_count> instrument_list;

// The user value each instrument's stream is created with: the instrument
// itself, or in the program its panel (see set_stream_user_reader).
extern std::array<void*, instrument_count> stream_user_values;

// Step 1: the banner.
void print_banner();
// Step 2: the audio menus and initialisation; exit code -1 on failure, 0 on ESC.
void start_sound();
// Steps 5 and 6 without panels (the audio tools and their tests): constructs
// the rack's instruments as plain engines, in construction order (numbers
// from 0), and fills instrument_list in list order, each instrument its own
// stream's user value. The instruments live until the process ends.
void build_instruments();
// Step 7: one stream per instrument, in instrument_list order; exit code 1 on failure.
void create_streams();
// Step 8: starts the streams in channel order from 0, each on its member's
// channel; exit code 1 on failure.
void start_streams();
// The orderly end: closes the streams in instrument_list order and the audio
// layer, prints the count of dropped step events (when there are any) and
// the late-block count, and puts the console back.
void shut_down();
