#pragma once
// The files that one zem-render command reads and writes, kept apart: an
// output is never one of the command's own inputs (`--load a.sta ... a.sta`
// would leave a.sta a WAV file), and two outputs never name one file, where
// the second would replace the first. Files are compared by what they are on
// disk, whatever links or spellings name them (io/path_target.h). Two outputs
// onto one device or pipe (/dev/null twice) are no clash: both are written.
#include <string>
#include <vector>

#include "render_arguments.h"

struct command_file {
  std::string option;  // how the command line names it: "--load", "the output"
  std::string path;
  bool input = false;
};

// Every file that the options name, inputs first.
std::vector<command_file> command_files(const render_options& options);

// Why these files cannot be used together ("--load a.sta and the output a.sta
// are the same file"), or an empty text.
std::string file_clash(const std::vector<command_file>& files);
