#pragma once
// The program's session file: the whole rack opened from one named on the
// command line (or from the autosave with --restore), Ctrl+O to open one and
// Ctrl+S to save, and the session's name in the window. Every transfer goes
// through one session handoff among the audio layer's block listeners, so
// that a session enters, or leaves, all five instruments at one block
// boundary. Main thread, except capture_program_session.
#include <string>

#include "command_line.h"
#include "session_image.h"

// Before the menus: reads and checks the session that the options name
// (FILE.zem, or the autosave for --restore). A file that cannot be opened
// or is refused ends the program with one line naming it and the reason on
// standard error and exit code 2, before the window opens.
void check_session_option(const program_options& options);

// After the panels and the rack's clock are made and before the streams are
// created: the rack takes the checked session, if any (its tempo and sync
// source going to the rack's clock), and the panels show it; the handoff
// joins the audio layer's block listeners.
void start_session();

// The key commands: Ctrl+O asks for a session file on the console and loads
// it; Ctrl+S saves to the open session, or asks for a name when none is
// open. Each prints one line saying what happened.
void open_session_file();
void save_session_file();

// The rack by instrument number, once start_session has run.
session_rack program_rack();

// Any thread, one transfer at a time: the rack's state between two blocks,
// with the open session's rack-wide settings and kept sections.
void capture_program_session(rack_session& session);
