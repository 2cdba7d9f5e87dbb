#pragma once
// The rack's clock in the window: its keys, its status in the caption, and a
// read-out drawn over the panels for a moment after each of its keys. With
// none of its keys used and the rack on its own clock, the window shows
// exactly what it always has: the caption holds the frame-rate report alone.
#include "command_line.h"

// Makes the program's rack clock (rack_control.h) with the sync source of
// the command line; a source other than the rack's own is shown from the
// start. Call after build_panels and before start_streams.
void start_rack_control(const program_options& options);

// After a session set the rack clock's tempo and sync source: shown from
// then on when they are not the rack's own 120 BPM.
void show_rack_clock_settings();

// The keys: Up and Down move the tempo by 1 BPM, with Shift by 0.1; T taps
// it; Space stops and starts the rack; S cycles the sync source.
void tempo_up_key();
void tempo_down_key();
void tempo_up_fine_key();
void tempo_down_fine_key();
void tap_tempo_key();
void start_stop_key();
void sync_source_key();

// Main loop, every turn: keeps the caption's tempo and sync up to date (a
// followed tempo moves, the rack stops). True when a frame is wanted for the
// read-out, which comes with a key and goes a moment later: the kept picture
// with the read-out over it, or without it, and no panel redrawn.
bool refresh_rack_status();

// Drawn over the panels just before a frame is presented, while it shows.
void draw_rack_readout();
// Whether the read-out is on the screen now.
bool rack_readout_shown();
