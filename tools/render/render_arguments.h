#pragma once
// The command line of zem-render:
//   zem-render ENGINE [--frames N | --seconds S | --passes N] [--set FIELD=VALUE]...
//              [--load FILE] [--save FILE] [--session FILE] [--save-session FILE]
//              [--tempo BPM] [--clock FILE] [--print-state] OUT.wav
// Parsing only checks the form of the arguments; field names and values are
// checked against the instruments when they are applied.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

enum class engine_kind { tb303, tb808, osc, rack };

// How the length of the render is given; `one_pass` when nothing is given.
enum class length_kind { one_pass, frames, seconds, passes };

// One --set: [INSTRUMENT:]FIELD=VALUE. `instrument` is the instrument number
// of the prefix, or empty when there is none.
struct field_assignment {
  std::optional<int32_t> instrument;
  std::string field;
  std::string value;
};

struct render_options {
  engine_kind engine = engine_kind::tb303;
  length_kind length = length_kind::one_pass;
  uint64_t frames = 0;  // for length_kind::frames
  double seconds = 0;   // for length_kind::seconds
  uint64_t passes = 0;  // for length_kind::passes
  std::vector<field_assignment> assignments;
  std::optional<std::string> load_file;  // a pattern file to start from
  std::optional<std::string> save_file;  // where to save the state before rendering
  // rack only: a session file to start from, and where to save the rack's
  // session before rendering
  std::optional<std::string> session_file;
  std::optional<std::string> save_session_file;
  std::optional<double> tempo;            // --tempo: the rack's tempo in BPM
  std::optional<std::string> clock_file;  // --clock: a clock for the rack to follow
  bool print_state = false;
  bool help = false;  // --help: print the usage and do nothing else
  std::string output;
};

struct parse_result {
  bool ok = false;
  std::string error;  // one line, without the program name
};

parse_result parse_render_arguments(std::span<const std::string_view> args,
                                    render_options& options);

// Splits "[N:]FIELD=VALUE"; false for a missing "=", an empty field or value,
// or a prefix that is not a non-negative integer.
bool parse_field_assignment(std::string_view text, field_assignment& assignment);

std::optional<engine_kind> engine_from_name(std::string_view name);

// Strict number parsing: the whole text must be the number.
std::optional<int32_t> parse_int32(std::string_view text);
std::optional<uint64_t> parse_count(std::string_view text);
// Finite values only: "nan" and "inf" are rejected.
std::optional<float> parse_finite_float(std::string_view text);
std::optional<double> parse_finite_double(std::string_view text);

extern const char render_usage[];
