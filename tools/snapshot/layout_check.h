// Checking the installation before the window opens, so that a missing or
// broken file gives one line instead of a half-built rack.
#pragma once

#include <optional>
#include <string>

// The files of the working directory that the rack needs: the texture
// archive, the font and the three layout files, each layout read in full
// with its includes and holding its panel's section. Returns the first
// problem as one line, or nothing when all is sound.
std::optional<std::string> check_installation();
