#pragma once
// The program's command line. With no argument the program starts as it
// always has; every option adds to that.
//
//   zem [FILE.zem] [--restore] [--midi jack|alsa|none] [--sync internal|midi|jack]
#include <string>

struct program_options {
  std::string session_file;       // a session to open before the streams start
  bool restore = false;           // open the autosaved session
  std::string midi = "auto";      // MIDI ports: auto, jack, alsa or none
  std::string sync = "internal";  // what drives the tempo: internal, midi or jack
};

// Reads the arguments after the program's name. False with a one-line
// reason in `error` for an argument it does not know or a value it refuses.
bool parse_program_options(int argc, const char* const* argv, program_options& options,
                           std::string& error);

// The usage line printed with a refused argument.
extern const char program_usage[];
