#pragma once
// Recording the mix with the R key, and what the window and the console say
// about recordings: "REC" in the window and the file in the caption while the
// R recording runs, and one line on the console and in the window when a
// recording (R's, or the "NoSound" driver's session.wav) stops because its
// file takes no more. Main thread only.

// Start-up, before the streams start: the R recording listens to the mix.
void install_mix_recorder();

// The R key: starts recording the mix to zem-YYYYMMDD-HHMMSS.wav in the
// working folder, or stops the recording that runs.
void toggle_recording();

// Once per display frame: reports a recording that stopped by itself.
void follow_recordings();

// Draws the window's recording mark over the panels, if there is one to
// show; inside the 2D projection, after the panels.
void draw_recording_mark();

// The orderly end: a running R recording is finished.
void finish_recording();
