#pragma once
// Start-up of the audio side: the version check, the output-system and driver
// menus on the console, and the initialisation of the audio layer.

// Returns 1 when the layer is initialised and streams may be created, 0 after
// printing why it failed. Ends the process with exit code 0 when the user
// presses ESC in a menu or the input ends there.
int init_sound();

// The message for an error code of the audio layer; never fails.
const char* error_text(unsigned int code);

// The name printed for an output code; empty for a code without a name.
const char* output_name(int code);

// The output code that a key of the output menu selects, or -1 for a key that
// the menu ignores.
int output_for_key(int key);

// The driver index that a key of the driver menu selects among `driver_count`
// drivers ("1" is driver 0; keys above "9" go on in character-code order), or
// -1 for a key that the menu ignores.
int driver_for_key(int key, int driver_count);
