#pragma once
// The program's own keys beyond ESC, F1 and F2: one row each, found by the
// key and the modifiers held with it. Main thread only.
#include <SDL.h>

#include <span>

// Modifiers as a row asks for them; either side's key counts, and the lock
// keys are ignored.
enum key_modifiers : unsigned { no_modifier = 0, with_shift = 1, with_ctrl = 2, with_alt = 4 };

struct key_command {
  SDLKey key;
  unsigned modifiers;  // exactly these held
  void (*run)();
};

// Runs the command of the pressed key, if a row has it; true when one ran.
bool run_key_command(const SDL_KeyboardEvent& pressed);

// The rows, for the help and the tests.
std::span<const key_command> key_commands();
