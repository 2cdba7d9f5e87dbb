#include "key_commands.h"

#include <vector>

#include "recording_display.h"

namespace {
// Each feature adds its rows here, beside the others, so that no two claim a key.
const std::vector<key_command> commands = {
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
