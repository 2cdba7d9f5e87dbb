#pragma once
// The program's start-up steps that need the window: the video, the five
// panels with their streams' user values.

// "Init Video", then the window; exit code -1 after a message when it fails.
// Window-system messages are delivered from then on.
void start_video();

// Builds the five panels (each reads its layout file), fills instrument_panels
// and instrument_list in instrument-list order and makes each panel its
// stream's user value. The engines' step events go to the main loop's rings
// from then on, and the R recording listens to the mix.
void build_panels();
