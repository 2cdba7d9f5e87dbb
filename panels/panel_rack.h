#pragma once
// The rack as panels: each member of rack_members.h built as the panel of its
// kind, with its name, place in the window and panel number, in construction
// order (which hands out the instrument numbers), and listed in the order of
// the program's instrument list, in which an index identifies a panel
// everywhere.
#include <array>

#include "instrument_gui.h"
#include "rack_members.h"

using panel_list = std::array<INSTRUMENT_GUI*, instrument_count>;

// Builds the panels, each reading its layout file from the working directory,
// and returns them in instrument-list order. The panels live until the
// process ends.
panel_list build_panel_rack();
