#pragma once
// The autosave: the rack kept in $XDG_STATE_HOME/zem/autosave.zem (by
// default ~/.local/state/zem/autosave.zem), written atomically every 30 s
// when the rack has changed, and at every orderly end, so that a crash, a
// kill or a power cut loses at most the last 30 s of work. `zem --restore`
// opens it. The first save of a run keeps the earlier run's autosave as
// autosave-previous.zem beside it. A helper thread captures and writes, so that neither the sound
// nor the window waits for the disk.
#include <chrono>
#include <string>

constexpr std::chrono::seconds autosave_interval{30};

// The autosave file; empty when the environment names no folder for it
// (neither an absolute XDG_STATE_HOME nor HOME).
std::string autosave_path();

// Once the session is opened: the rack as it is counts as saved, and the
// thread that saves it every interval when it has changed starts.
void start_autosave();

// At an orderly end, while the streams still play: stops the thread, saves
// the rack and prints one line saying where it went, or why it did not.
void finish_autosave();
