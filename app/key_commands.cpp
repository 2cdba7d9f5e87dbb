#include "key_commands.h"

#include <vector>

#include "program_session.h"
#include "rack_keys.h"
#include "recording_display.h"

namespace {
// Each feature adds its rows here, beside the others, so that no two claim a key.
const std::vector<key_command> commands = {
    // Sessions (program_session.h).
    {SDLK_o, with_ctrl, open_session_file},
    {SDLK_s, with_ctrl, save_session_file},
    // The rack's clock (rack_keys.h).
    {SDLK_UP, no_modifier, tempo_up_key},
    {SDLK_DOWN, no_modifier, tempo_down_key},
    {SDLK_UP, with_shift, tempo_up_fine_key},
    {SDLK_DOWN, with_shift, tempo_down_fine_key},
    {SDLK_t, no_modifier, tap_tempo_key},
    {SDLK_SPACE, no_modifier, start_stop_key},
    {SDLK_s, no_modifier, sync_source_key},
    // Recording (recording_display.h).
    {SDLK_r, no_modifier, toggle_recording},
};

unsigned modifiers_of(SDLMod held) {
  unsigned modifiers = no_modifier;
  if ((held & KMOD_SHIFT) != 0) modifiers |= with_shift;
  if ((held & KMOD_CTRL) != 0) modifiers |= with_ctrl;
  if ((held & KMOD_ALT) != 0) modifiers |= with_alt;
  return modifiers;
}
}  // namespace

bool run_key_command(const SDL_KeyboardEvent& pressed) {
  const unsigned held = modifiers_of(pressed.keysym.mod);
  for (const key_command& command : commands) {
    if (command.key != pressed.keysym.sym || command.modifiers != held) continue;
    command.run();
    return true;
  }
  return false;
}

std::span<const key_command> key_commands() {
  return commands;
}
