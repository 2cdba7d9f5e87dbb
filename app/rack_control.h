#pragma once
// The program's rack clock (rack_clock.h) and what the main thread does with
// it: the tempo keys, tap tempo, start and stop, the sync source, and the
// words that show them on screen. The MIDI ports reach the clock through its
// two rings. Main thread only, except the rings' other ends.
#include <string>

#include "clock_rings.h"
#include "rack_clock.h"

// Makes the program's rack clock over the instruments of instrument_list,
// following `sync`, and adds it to the audio layer's block listeners, with
// the MIDI rings wired to it. Call after the instruments are built and
// before the streams start; a second call only sets the sync source.
void start_rack_clock(sync_source sync);

// The program's rack clock, once start_rack_clock has made it.
bool rack_clock_started();
rack_clock& program_rack_clock();
// Any thread: the sync source the rack follows; internal until
// start_rack_clock has made the clock. The MIDI ports read it to know which
// outside clock feeds the input ring.
sync_source program_sync_source();
// Any thread: the tempo set for the rack (120 until one is set).
double program_rack_bpm();
// The MIDI input pushes the clock's messages here, the MIDI output takes the
// rack's clock from here (clock_rings.h).
clock_input_ring& program_clock_input();
clock_output_ring& program_clock_output();

// At the program's end, once the audio output has stopped: the Stop that a
// playing rack owes the receivers of its clock goes to the MIDI output's ring.
void end_rack_clock();

// The source named on the command line: "internal", "midi" or "jack".
sync_source sync_source_named(const std::string& name);

// The keys' actions. The tempo moves in tenths of a BPM, within 20 .. 300;
// while a clock is followed, it sets the tempo and the keys change nothing.
void change_rack_tempo(double by_bpm);
// T pressed at `seconds` on a steady clock.
void tap_rack_tempo(double seconds);
void toggle_rack_running();
// Internal -> MIDI clock -> JACK transport -> internal. Back to its own
// clock, the rack keeps the tempo it was following.
void cycle_sync_source();

// The words of the screen: "120.0 BPM", with ", stopped" while the rack is
// stopped and "--- BPM" while a followed clock has given no tempo yet; and
// the sync source.
std::string rack_tempo_text();
std::string sync_source_text();
