#include "midi_bindings.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <tuple>

namespace {

constexpr int32_t highest_channel = 16;
constexpr int32_t highest_controller = 127;
constexpr const char* line_shape =
    "expected \"channel <1-16> cc <0-127> -> panel <1-5> <control>\"";

const char* engine_title(knob_panel engine) {
  switch (engine) {
    case knob_panel::tb303:
      return "TB303";
    case knob_panel::tb808:
      return "TB808";
    case knob_panel::osc:
      return "OSC";
    case knob_panel::generic:
      break;
  }
  return "?";
}

// The name as the console can show it: bytes outside printable ASCII become "?".
std::string printable(std::string_view text) {
  std::string shown(text);
  for (char& c : shown) {
    if (c < ' ' || c > '~') c = '?';
  }
  return shown;
}

// The words of a line, split at blanks and tabs.
std::vector<std::string_view> words_of(std::string_view line) {
  std::vector<std::string_view> words;
  std::size_t at = 0;
  while (at < line.size()) {
    const std::size_t start = line.find_first_not_of(" \t", at);
    if (start == std::string_view::npos) break;
    const std::size_t end = std::min(line.find_first_of(" \t", start), line.size());
    words.push_back(line.substr(start, end - start));
    at = end;
  }
  return words;
}

// A whole decimal number of at most four digits, no sign.
std::optional<int32_t> number_of(std::string_view word) {
  if (word.empty() || word.size() > 4 || word[0] < '0' || word[0] > '9') return std::nullopt;
  int32_t value = 0;
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (error != std::errc() || end != word.data() + word.size()) return std::nullopt;
  return value;
}

// The binding that one line states, or the reason why it states none.
std::optional<midi_binding> read_line(std::string_view line, std::string& error) {
  const std::vector<std::string_view> words = words_of(line);
  std::optional<int32_t> channel, controller, panel;
  if (words.size() == 8 && words[0] == "channel" && words[2] == "cc" && words[4] == "->" &&
      words[5] == "panel") {
    channel = number_of(words[1]);
    controller = number_of(words[3]);
    panel = number_of(words[6]);
  }
  if (!channel || !controller || !panel) {
    error = line_shape;
    return std::nullopt;
  }
  const std::string control(words[7]);
  if (*channel < 1 || *channel > highest_channel) {
    error = "channel " + std::to_string(*channel) + " is not 1 to 16";
  } else if (*controller > highest_controller) {
    error = "cc " + std::to_string(*controller) + " is not 0 to 127";
  } else if (*panel < 1 || *panel > instrument_count) {
    error = "panel " + std::to_string(*panel) + " is not 1 to " + std::to_string(instrument_count);
  } else if (auto target = control_of_panel(*panel, control)) {
    return midi_binding{*channel, *controller, *panel, control, *target};
  } else {
    error = "panel " + std::to_string(*panel) + " (" +
            engine_title(engine_of(rack_members[*panel - 1].kind)) + ") has no control " +
            printable(control);
  }
  return std::nullopt;
}

bool says_nothing(std::string_view line) {
  const std::size_t start = line.find_first_not_of(" \t");
  return start == std::string_view::npos || line[start] == '#';
}

}  // namespace

void add_binding(std::vector<midi_binding>& bindings, midi_binding binding) {
  std::erase_if(bindings, [&](const midi_binding& old) {
    return (old.channel == binding.channel && old.controller == binding.controller) ||
           (old.panel == binding.panel && old.control == binding.control);
  });
  bindings.push_back(std::move(binding));
}

bool remove_binding(std::vector<midi_binding>& bindings, int32_t panel, std::string_view control) {
  return std::erase_if(bindings, [&](const midi_binding& old) {
           return old.panel == panel && old.control == control;
         }) != 0;
}

std::optional<panel_control> control_of_panel(int32_t panel, std::string_view control) {
  if (panel < 1 || panel > instrument_count) return std::nullopt;
  return find_control(engine_of(rack_members[panel - 1].kind), control);
}

std::string format_binding(const midi_binding& binding) {
  return "channel " + std::to_string(binding.channel) + " cc " +
         std::to_string(binding.controller) + " -> panel " + std::to_string(binding.panel) + " " +
         binding.control;
}

std::string format_bindings(const std::vector<midi_binding>& bindings) {
  std::vector<const midi_binding*> sorted;
  for (const midi_binding& binding : bindings) sorted.push_back(&binding);
  std::sort(sorted.begin(), sorted.end(), [](const midi_binding* a, const midi_binding* b) {
    return std::tie(a->channel, a->controller) < std::tie(b->channel, b->controller);
  });
  std::string text;
  for (const midi_binding* binding : sorted) text += format_binding(*binding) + "\n";
  return text;
}

parsed_bindings parse_bindings(std::string_view text) {
  parsed_bindings parsed;
  int32_t number = 0;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    ++number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (says_nothing(line)) continue;
    std::string error;
    if (auto binding = read_line(line, error)) {
      add_binding(parsed.bindings, std::move(*binding));
    } else {
      parsed.errors.push_back({number, error, std::string(line)});
    }
  }
  return parsed;
}
