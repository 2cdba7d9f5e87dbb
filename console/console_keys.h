#pragma once
// The console key reader of the start-up menus and of the play loop. On a
// terminal it reads single keys, raw and unechoed, without waiting for Enter;
// when standard input is a pipe or a file it reads plain bytes. The terminal is
// put back as it was whenever the process ends.
//
// Termination signals (Ctrl-C, SIGTERM, hang-up, a broken console pipe) do not
// kill the process: they put the terminal back at once and wake the reader,
// which returns key_quit, so that the caller can end in order. A second one
// ends the process at once.

constexpr int key_escape = 27;
constexpr int key_end = -1;   // end of input (or a read error)
constexpr int key_quit = -2;  // a termination signal arrived

// Catches SIGINT, SIGTERM, SIGHUP and SIGPIPE. Call once, early: it also opens
// /dev/null on any standard descriptor the process was started without, so
// that a closed standard input reads as the end of input.
void install_quit_signals();

// The next key, 0 to 255, or key_end, or key_quit. Flushes standard output
// first, so that a menu is on the screen before the program waits. On a
// terminal the bytes of a multi-byte key (an arrow, a function key) are dropped
// together, so that they do not read as ESC.
int read_key();

// Waits until a termination signal arrives.
void wait_for_quit_signal();

// Waits until `fd` has something to read (or its end, or an error, which the
// read then reports), or a termination signal arrives: false for the signal.
// A line reader that must give way to a quit (the file-name prompt) calls it
// before every read. Before install_quit_signals it only waits for `fd`.
bool wait_for_input_or_quit(int fd);

// The signal that arrived, or 0.
int quit_signal();

// Ends the process as the signal would have: the terminal is restored, then the
// signal is raised again with its default action.
[[noreturn]] void end_by_quit_signal();

// Puts the terminal back as it was before the first key was read. Safe to call
// more than once and from a signal handler.
void restore_console();
