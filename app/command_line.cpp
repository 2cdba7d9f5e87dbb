#include "command_line.h"

#include <algorithm>
#include <array>
#include <string_view>

const char program_usage[] =
    "usage: zem [FILE.zem] [--restore] [--midi jack|alsa|none] [--sync internal|midi|jack]";

namespace {
constexpr std::array<std::string_view, 4> midi_choices = {"auto", "jack", "alsa", "none"};
constexpr std::array<std::string_view, 3> sync_choices = {"internal", "midi", "jack"};

template <size_t N>
bool one_of(const std::array<std::string_view, N>& choices, std::string_view value) {
  return std::find(choices.begin(), choices.end(), value) != choices.end();
}

// An option with a value from a fixed list: "--name VALUE" or "--name=VALUE".
template <size_t N>
bool take_choice(std::string_view name, const std::array<std::string_view, N>& choices,
                 std::string_view value, std::string& out, std::string& error) {
  if (!one_of(choices, value)) {
    error = "--";
    error.append(name).append(" takes ");
    for (size_t i = 0; i < N; ++i) error.append(i == 0 ? "" : "|").append(choices[i]);
    if (!value.empty()) error.append(", not ").append(value);
    return false;
  }
  out = value;
  return true;
}
}  // namespace

bool parse_program_options(int argc, const char* const* argv, program_options& options,
                           std::string& error) {
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    std::string_view value;
    const size_t equals = arg.find('=');
    if (arg.starts_with("--") && equals != std::string_view::npos) {
      value = arg.substr(equals + 1);
      arg = arg.substr(0, equals);
    } else if ((arg == "--midi" || arg == "--sync") && i + 1 < argc) {
      value = argv[++i];
    }
    if (arg == "--restore" && equals == std::string_view::npos) {
      options.restore = true;
    } else if (arg == "--midi") {
      if (!take_choice("midi", midi_choices, value, options.midi, error)) return false;
    } else if (arg == "--sync") {
      if (!take_choice("sync", sync_choices, value, options.sync, error)) return false;
    } else if (!arg.starts_with("-") && options.session_file.empty()) {
      options.session_file = arg;
    } else {
      error = "unknown argument: " + std::string(argv[i]);
      return false;
    }
  }
  return true;
}
