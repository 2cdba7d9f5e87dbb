#pragma once
// The program's MIDI ports, chosen by --midi:
//   jack   JACK MIDI ports: in zem's own JACK client when the sound goes to
//          JACK, else in a client of their own, "zem-midi";
//   alsa   ALSA sequencer ports of a client "zem";
//   auto   JACK when a server runs, else ALSA;
//   none   no ports.
// When none can be opened the program says so in one line and plays on.
// Main thread only.
#include <string>

// Before the sound starts: the JACK ports join zem's JACK client, should the
// sound go there.
void prepare_midi_ports(const std::string& choice);

// Once the sound plays: the ports elsewhere when the sound's client does not
// have them, or the one line that says there are none.
void open_midi_ports();

// At the end, before the sound's output closes: the rack's clock sends its
// last event (the Stop owed to the clock's receivers), which the ports pass
// on; the ports of their own close.
void finish_midi_ports();

// The one line said when no MIDI ports could be opened, or "" when they were.
const std::string& midi_ports_refusal();
