#include "panel_controls.h"

#include <cstdio>
#include <cstring>

#include "name_field.h"
#include "name_keys.h"
#include "osc_gui.h"
#include "panel_names.h"
#include "tb303_gui.h"
#include "tb808_gui.h"

namespace {

constexpr int32_t switch_on_from = 64;

// True when the key, formatted with one of its steps, is the name; the step
// is stored in `step`.
bool key_names(const char* key, int32_t count, std::string_view name, int32_t& step) {
  for (int32_t s = 0; s < (count == 0 ? 1 : count); ++s) {
    char formatted[NAME_FIELD_SIZE];
    std::snprintf(formatted, sizeof formatted, key, static_cast<int>(s));
    if (name == formatted) {
      step = s;
      return true;
    }
  }
  return false;
}

std::optional<panel_control> find_on(knob_panel panel, std::string_view name) {
  panel_control found;
  for (const knob& k : knob_table()) {
    if (k.panel == panel && k.set != nullptr && key_names(k.key, k.count, name, found.step)) {
      found.knob_entry = &k;
      return found;
    }
  }
  for (const switch_button& s : switch_table()) {
    if (s.panel == panel && key_names(s.key, s.count, name, found.step)) {
      found.switch_entry = &s;
      return found;
    }
  }
  return std::nullopt;
}

}  // namespace

knob_panel engine_of(const INSTRUMENT_GUI& panel) {
  if (dynamic_cast<const TB303_GUI*>(&panel) != nullptr) return knob_panel::tb303;
  if (dynamic_cast<const TB808_GUI*>(&panel) != nullptr) return knob_panel::tb808;
  if (dynamic_cast<const OSC_GUI*>(&panel) != nullptr) return knob_panel::osc;
  return knob_panel::generic;
}

knob_panel engine_of(instrument_kind kind) {
  switch (kind) {
    case instrument_kind::tb303:
      return knob_panel::tb303;
    case instrument_kind::tb808:
      return knob_panel::tb808;
    case instrument_kind::osc:
      return knob_panel::osc;
  }
  return knob_panel::generic;
}

std::optional<panel_control> find_control(knob_panel engine, std::string_view name) {
  if (engine != knob_panel::generic) {
    if (auto own = find_on(engine, name)) return own;
  }
  return find_on(knob_panel::generic, name);
}

std::string layout_name(const char* control_name) {
  const std::string name(control_name);
  const std::size_t suffix = name.rfind("_INSTRUMENT_");
  if (suffix == std::string::npos) return name;
  const std::size_t digits = suffix + std::strlen("_INSTRUMENT_");
  if (digits == name.size()) return name;
  for (std::size_t i = digits; i < name.size(); ++i) {
    if (digit_at(name.c_str(), i) < 0) return name;
  }
  return name.substr(0, suffix);
}

SPRITE* find_control_widget(const INSTRUMENT_GUI& panel, std::string_view name) {
  const std::string full =
      std::string(name) + "_INSTRUMENT_" + std::to_string(panel.instrument_number);
  return find_named(full.c_str(), panel.items);
}

void move_control(INSTRUMENT_GUI& panel, const panel_control& control, int32_t position,
                  SPRITE* widget) {
  if (control.knob_entry != nullptr) {
    set_knob(*control.knob_entry, panel, control.step, position, widget);
  } else if (control.switch_entry != nullptr) {
    set_switch_button(*control.switch_entry, panel, control.step, position >= switch_on_from,
                      widget);
  }
}
