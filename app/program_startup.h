#pragma once
// The program's start-up steps that need the window: the video, the five
// panels with their streams' user values.

// "Init Video", then the window; exit code -1 after a message when it fails.
// Window-system messages are delivered from then on, and so are step events.
void start_video();

// Builds the five panels (each reads its layout file), fills instrument_panels
// and instrument_list in instrument-list order and makes each panel its
// stream's user value.
void build_panels();
