#pragma once
// The disk buttons that every engine panel has: a release on
// "BUTTON_DISK_SAVE" saves the instrument to a pattern file and one on
// "BUTTON_DISK_LOAD" loads it, each asking for the file name on the console;
// after a load the panel shows the loaded state.
#include "instrument_gui.h"
#include "widget_event.h"

// Acts on a record that is the release of a disk button; any other record
// is left alone.
void release_disk_button(INSTRUMENT_GUI& panel, const widget_event& record);
