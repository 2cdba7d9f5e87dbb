#pragma once
// The rack of five panels in its fixed arrangement: each panel's class, name,
// place in the window and panel number, the order in which they are built
// (which hands out the instrument numbers 0 to 4) and the order of the
// program's instrument list, in which an index identifies a panel everywhere.
#include <array>

#include "instrument_gui.h"

constexpr int PANEL_COUNT = 5;

using panel_list = std::array<INSTRUMENT_GUI*, PANEL_COUNT>;

// Builds the five panels, each reading its layout file from the working
// directory, and returns them in instrument-list order: "808_1", "303_1",
// "OSC_1", "808_2", "303_2". The panels live until the process ends.
panel_list build_panel_rack();
