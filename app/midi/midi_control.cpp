#include "midi_control.h"

#include <cstdio>
#include <optional>
#include <utility>

#include "bindings_file.h"
#include "input_state.h"
#include "midi_inputs.h"
#include "name_field.h"
#include "panel_lists.h"
#include "pattern_buttons.h"
#include "widget_marks.h"

namespace {

constexpr uint8_t control_change = 0xB0;
constexpr uint8_t program_change = 0xC0;
constexpr int32_t pattern_buttons = 8;

std::vector<midi_binding> bindings;
// Lines of the file that could not be read: written back below the bindings,
// so that a change made by learning loses none of the user's text.
std::vector<std::string> unread_lines;

// The control that waits for a controller, and its panel's index.
struct armed_control {
  int32_t index;
  midi_binding binding;  // channel and controller still to come
};
std::optional<armed_control> armed;

void save_bindings() {
  const std::string path = bindings_file_path();
  std::string error = "neither XDG_CONFIG_HOME nor HOME names a folder";
  std::string text =
      "# zem MIDI bindings: channel <1-16> cc <0-127> -> panel <1-5, from the top> <control>\n" +
      format_bindings(bindings);
  if (!unread_lines.empty()) text += "# Lines that zem could not read, kept as they were:\n";
  for (const std::string& line : unread_lines) text += line + "\n";
  if (path.empty() || !write_bindings_file(path, text, error)) {
    std::fprintf(stderr, "zem: the MIDI bindings are not saved: %s\n", error.c_str());
  }
}

void report(const std::string& source, const std::vector<binding_error>& errors) {
  for (const binding_error& e : errors) {
    std::fprintf(stderr, "zem: %s line %d: %s; line skipped\n", source.c_str(),
                 static_cast<int>(e.line), e.message.c_str());
  }
}

// The mark leaves the picture with a whole new frame: a panel's redraw alone
// covers only its own widgets.
void disarm() {
  armed.reset();
  mark_widget(nullptr);
  input.full_frame_wanted = true;
}

// A learnt controller binds the armed control and moves it at once.
void learn(int32_t channel, int32_t controller) {
  midi_binding binding = std::move(armed->binding);
  binding.channel = channel;
  binding.controller = controller;
  std::printf("MIDI: %s\n", format_binding(binding).c_str());
  add_binding(bindings, std::move(binding));
  disarm();
  save_bindings();
}

void move_bound_controls(int32_t channel, int32_t controller, int32_t position) {
  for (const midi_binding& binding : bindings) {
    if (binding.channel != channel || binding.controller != controller) continue;
    const int32_t index = find_panel(binding.panel - 1);
    if (index < 0) continue;
    INSTRUMENT_GUI& panel = *instrument_panels[index];
    move_control(panel, binding.target, position, find_control_widget(panel, binding.control));
    mark_dirty(index);
  }
}

// Program n on channel k: a click on pattern button n + 1 of panel k.
void select_pattern(int32_t channel, int32_t program) {
  if (program >= pattern_buttons) return;
  const int32_t index = find_panel(channel - 1);
  if (index < 0) return;
  INSTRUMENT_GUI& panel = *instrument_panels[index];
  char name[NAME_FIELD_SIZE];
  std::snprintf(name, sizeof name, "BUTTON_PATTERN_%d_INSTRUMENT_%d", static_cast<int>(program + 1),
                static_cast<int>(panel.instrument_number));
  release_pattern_button(panel, name);
  mark_dirty(index);
}

// Channel messages only; data bytes have their top bit clear.
void handle_message(const midi_message& message) {
  const uint8_t status = message.bytes[0];
  if (message.size < 2 || (status & 0x80) == 0 || message.bytes[1] > 127) return;
  const int32_t channel = (status & 0x0F) + 1;
  const int32_t first = message.bytes[1];
  if ((status & 0xF0) == control_change && message.size >= 3 && message.bytes[2] <= 127) {
    if (armed) learn(channel, first);
    move_bound_controls(channel, first, message.bytes[2]);
  } else if ((status & 0xF0) == program_change) {
    select_pattern(channel, first);
  }
}

void arm(int32_t index, SPRITE& widget, midi_binding binding) {
  const bool again = armed && armed->index == index && armed->binding.control == binding.control;
  if (armed) disarm();
  if (again) {
    std::printf("MIDI learn: cancelled\n");
    return;
  }
  std::printf("MIDI learn: panel %d %s waits for a controller\n", static_cast<int>(binding.panel),
              binding.control.c_str());
  armed = armed_control{index, std::move(binding)};
  mark_widget(&widget);
  mark_dirty(index);
}

void forget(const midi_binding& binding) {
  if (armed && armed->binding.panel == binding.panel && armed->binding.control == binding.control) {
    disarm();
    std::printf("MIDI learn: cancelled\n");
  }
  if (!remove_binding(bindings, binding.panel, binding.control)) return;
  std::printf("MIDI: panel %d %s unbound\n", static_cast<int>(binding.panel),
              binding.control.c_str());
  save_bindings();
}

}  // namespace

void start_midi_control() {
  const std::string path = bindings_file_path();
  if (path.empty()) return;
  std::string text;
  std::string error;
  if (!read_bindings_file(path, text, error)) {
    std::fprintf(stderr, "zem: %s; no MIDI bindings\n", error.c_str());
    return;
  }
  parsed_bindings parsed = parse_bindings(text);
  report(path, parsed.errors);
  bindings = std::move(parsed.bindings);
  unread_lines.clear();
  for (const binding_error& e : parsed.errors) unread_lines.push_back(e.text);
}

int32_t handle_midi_input() {
  return drain_midi_inputs(midi_messages_per_turn, handle_message);
}

bool take_midi_learn_click(Uint8 button) {
  if ((SDL_GetModState() & KMOD_CTRL) == 0) return false;
  if (button != SDL_BUTTON_LEFT && button != SDL_BUTTON_RIGHT) return false;
  SPRITE* widget = widget_under_pointer();
  if (widget == nullptr) return false;
  const int32_t index = panel_under_pointer();
  INSTRUMENT_GUI& panel = *instrument_panels[index];
  const std::string name = layout_name(widget->control_name);
  const int32_t number = panel.instrument_number + 1;
  const std::optional<panel_control> target = control_of_panel(number, name);
  if (!target || engine_of(panel) != engine_of(rack_members[number - 1].kind)) return false;
  midi_binding binding{0, 0, number, name, *target};
  if (button == SDL_BUTTON_LEFT) {
    arm(index, *widget, std::move(binding));
  } else {
    forget(binding);
  }
  return true;
}

std::string midi_bindings_text() {
  return format_bindings(bindings);
}

std::vector<binding_error> restore_midi_bindings(std::string_view text) {
  parsed_bindings parsed = parse_bindings(text);
  if (armed) disarm();
  bindings = std::move(parsed.bindings);
  return std::move(parsed.errors);
}
