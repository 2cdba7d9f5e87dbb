#include "render_arguments.h"

#include <charconv>
#include <cmath>

#include "rack_tempo.h"

const char render_usage[] =
    "usage: zem-render ENGINE [--frames N | --seconds S | --passes N] "
    "[--set [INSTRUMENT:]FIELD=VALUE]... [--load FILE] [--save FILE]\n"
    "                  [--session FILE] [--save-session FILE] [--tempo BPM] [--clock FILE]\n"
    "                  [--print-state] OUT.wav\n"
    "  ENGINE is tb303, tb808, osc or rack (the five instruments mixed);\n"
    "  with rack, --set names the instrument by its number, e.g. --set 2:volume=0.8\n"
    "  --load starts from a pattern file, --save writes one after the --set options\n"
    "  and before rendering (both with one engine, not rack)\n"
    "  --session starts the rack from a session file (.zem), --save-session writes\n"
    "  one after the --set options and before rendering (both with rack only)\n"
    "  --tempo BPM plays at that tempo (20 to 300, default 120)\n"
    "  --clock FILE makes the rack follow the clock messages of FILE, one a line:\n"
    "  FRAME [pulse|start|continue|stop|position STEPS] (rack only)\n";

namespace {

std::string_view without_plus(std::string_view text) {
  // from_chars refuses a leading '+', which people write naturally.
  if (text.size() > 1 && text[0] == '+' && text[1] != '-') text.remove_prefix(1);
  return text;
}

template <typename T>
std::optional<T> parse_whole(std::string_view text) {
  text = without_plus(text);
  T value{};
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
  return value;
}

// The value of an option given as "--name VALUE" or "--name=VALUE".
bool take_value(std::span<const std::string_view> args, size_t& i, std::string_view option,
                std::string_view& value) {
  const std::string_view arg = args[i];
  if (arg.size() > option.size() && arg[option.size()] == '=') {
    value = arg.substr(option.size() + 1);
    return true;
  }
  if (i + 1 >= args.size()) return false;
  value = args[++i];
  return true;
}

bool is_option(std::string_view arg, std::string_view option) {
  return arg == option ||
         (arg.size() > option.size() && arg.starts_with(option) && arg[option.size()] == '=');
}

parse_result failure(std::string message) {
  return {false, std::move(message)};
}

// Where the file option `name` is kept.
std::optional<std::string>& file_option(render_options& options, std::string_view name) {
  if (name == "--load") return options.load_file;
  if (name == "--save") return options.save_file;
  if (name == "--session") return options.session_file;
  return options.save_session_file;
}

}  // namespace

std::optional<int32_t> parse_int32(std::string_view text) {
  return parse_whole<int32_t>(text);
}

std::optional<uint64_t> parse_count(std::string_view text) {
  if (!text.empty() && text[0] == '-') return std::nullopt;
  return parse_whole<uint64_t>(text);
}

std::optional<float> parse_finite_float(std::string_view text) {
  const auto value = parse_whole<float>(text);
  if (!value || !std::isfinite(*value)) return std::nullopt;
  return value;
}

std::optional<double> parse_finite_double(std::string_view text) {
  const auto value = parse_whole<double>(text);
  if (!value || !std::isfinite(*value)) return std::nullopt;
  return value;
}

std::optional<engine_kind> engine_from_name(std::string_view name) {
  if (name == "tb303") return engine_kind::tb303;
  if (name == "tb808") return engine_kind::tb808;
  if (name == "osc") return engine_kind::osc;
  if (name == "rack") return engine_kind::rack;
  return std::nullopt;
}

bool parse_field_assignment(std::string_view text, field_assignment& assignment) {
  const size_t equals = text.find('=');
  if (equals == std::string_view::npos) return false;
  std::string_view field = text.substr(0, equals);
  const std::string_view value = text.substr(equals + 1);
  assignment.instrument.reset();
  const size_t colon = field.find(':');
  if (colon != std::string_view::npos) {
    const auto number = parse_int32(field.substr(0, colon));
    if (!number || *number < 0) return false;
    assignment.instrument = *number;
    field.remove_prefix(colon + 1);
  }
  if (field.empty() || value.empty()) return false;
  assignment.field = field;
  assignment.value = value;
  return true;
}

parse_result parse_render_arguments(std::span<const std::string_view> args,
                                    render_options& options) {
  options = render_options{};
  std::vector<std::string_view> positional;
  bool length_given = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    std::string_view value;
    if (arg == "--help" || arg == "-h") {
      options.help = true;
      return {true, {}};
    } else if (arg == "--print-state") {
      options.print_state = true;
    } else if (is_option(arg, "--frames") || is_option(arg, "--seconds") ||
               is_option(arg, "--passes")) {
      const std::string_view name = arg.substr(0, arg.find('='));
      if (!take_value(args, i, name, value)) return failure(std::string(name) + " needs a value");
      if (length_given)
        return failure("give the length only once (--frames, --seconds or --passes)");
      length_given = true;
      if (name == "--seconds") {
        const auto seconds = parse_finite_double(value);
        if (!seconds || *seconds < 0)
          return failure("--seconds needs a non-negative number, not '" + std::string(value) + "'");
        options.length = length_kind::seconds;
        options.seconds = *seconds;
      } else {
        const auto count = parse_count(value);
        if (!count)
          return failure(std::string(name) + " needs a non-negative integer, not '" +
                         std::string(value) + "'");
        options.length = name == "--frames" ? length_kind::frames : length_kind::passes;
        (name == "--frames" ? options.frames : options.passes) = *count;
      }
    } else if (is_option(arg, "--set")) {
      if (!take_value(args, i, "--set", value)) return failure("--set needs FIELD=VALUE");
      field_assignment assignment;
      if (!parse_field_assignment(value, assignment))
        return failure("--set needs [INSTRUMENT:]FIELD=VALUE, not '" + std::string(value) + "'");
      options.assignments.push_back(std::move(assignment));
    } else if (is_option(arg, "--load") || is_option(arg, "--save") ||
               is_option(arg, "--session") || is_option(arg, "--save-session")) {
      const std::string_view name = arg.substr(0, arg.find('='));
      if (!take_value(args, i, name, value) || value.empty())
        return failure(std::string(name) + " needs a file name");
      file_option(options, name) = std::string(value);
    } else if (is_option(arg, "--tempo")) {
      if (!take_value(args, i, "--tempo", value)) return failure("--tempo needs a value");
      const auto bpm = parse_finite_double(value);
      if (!bpm || *bpm < rack_lowest_bpm || *bpm > rack_highest_bpm)
        return failure("--tempo needs a tempo from 20 to 300 BPM, not '" + std::string(value) +
                       "'");
      options.tempo = *bpm;
    } else if (is_option(arg, "--clock")) {
      if (!take_value(args, i, "--clock", value) || value.empty())
        return failure("--clock needs a file name");
      options.clock_file = std::string(value);
    } else if (arg.size() > 1 && arg[0] == '-') {
      return failure("unknown option '" + std::string(arg) + "'");
    } else {
      positional.push_back(arg);
    }
  }
  if (positional.size() != 2) return failure("expected ENGINE and OUT.wav (see --help)");
  const auto engine = engine_from_name(positional[0]);
  if (!engine)
    return failure("unknown engine '" + std::string(positional[0]) +
                   "' (tb303, tb808, osc or rack)");
  options.engine = *engine;
  options.output = positional[1];
  if (options.engine == engine_kind::rack && (options.load_file || options.save_file))
    return failure("--load and --save take one engine, not rack");
  if (options.engine != engine_kind::rack && (options.session_file || options.save_session_file))
    return failure("--session and --save-session take rack, not one engine");
  if (options.engine != engine_kind::rack && options.clock_file)
    return failure("--clock takes rack, not one engine");
  for (const field_assignment& assignment : options.assignments) {
    if (options.engine == engine_kind::rack && !assignment.instrument)
      return failure("with rack, --set needs an instrument number: N:" + assignment.field);
    if (options.engine != engine_kind::rack && assignment.instrument)
      return failure("an instrument number in --set is only for rack: " + assignment.field);
  }
  return {true, {}};
}
