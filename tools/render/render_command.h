#pragma once
// The zem-render command: renders an engine (or the rack of five) offline into
// a 16-bit stereo 44100 Hz WAV file. Returns the exit status: 0 on success,
// 2 for bad arguments, a command whose output is one of its own inputs
// (render_files.h) or an output that cannot be written, a full disk or the
// file-size limit included (one line on standard error, and no output file
// left behind). An output that is a device or a pipe (/dev/stdout) gets the
// file in order, its header first.
#include <cstdint>
#include <optional>
#include <string>

#include "render_arguments.h"

constexpr int render_exit_ok = 0;
constexpr int render_exit_error = 2;
constexpr uint32_t render_sample_rate = 44100;  // frames per second of the output

int run_zem_render(int argc, char** argv);

// The number of frames that the options ask for, once the fields are set;
// empty, with `error` set, when it does not fit in a WAV file.
std::optional<uint64_t> requested_frames(const render_options& options, double pass_frames,
                                         std::string& error);
