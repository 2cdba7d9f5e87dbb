#include "program_session.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>

#include "autosave.h"
#include "fsound.h"
#include "input_state.h"
#include "panel_lists.h"
#include "pattern_prompt.h"
#include "rack.h"
#include "rack_control.h"
#include "rack_keys.h"
#include "session_file.h"
#include "session_handoff.h"
#include "startup.h"
#include "window_status.h"

namespace {

constexpr char rack_not_playing[] = "the rack renders nothing: try again while it plays";

// Made once and never freed: the autosave thread may still use it while a
// fault ends the process.
struct program_session {
  std::array<INSTRUMENT*, instrument_count> members{};  // by instrument number
  std::unique_ptr<session_handoff> handoff;
  std::mutex transfers;  // one transfer at a time; guards `held`
  // What the rack holds beside its members' state: the rack-wide settings
  // and kept sections of the session opened last.
  rack_session held;
  std::string path;                     // the open session file; empty when none (main thread)
  std::optional<rack_session> checked;  // from the command line, until start_session
  std::string checked_name;
  bool restoring = false;
};
program_session* current = new program_session;

[[noreturn]] void refuse_option(const std::string& line, bool with_usage) {
  std::fprintf(stderr, "zem: %s\n", line.c_str());
  if (with_usage) std::fprintf(stderr, "%s\n", program_usage);
  std::exit(2);
}

std::string name_of(const std::string& path) {
  return std::filesystem::path(path).filename().string();
}

// The session's rack-wide part, without the members' state.
void take_rack_wide(const rack_session& from, rack_session& into) {
  into.bpm = from.bpm;
  into.sync = from.sync;
  into.midi_bindings = from.midi_bindings;
  into.kept_sections = from.kept_sections;
}

// The rack's clock, where the program has made one, takes the session's
// tempo and sync source.
void take_clock_settings(const rack_session& session) {
  if (!rack_clock_started()) return;
  program_rack_clock().set_bpm(session.bpm);
  program_rack_clock().set_sync(session.sync);
  show_rack_clock_settings();
}

// Every panel shows the state that the rack took, in a whole new frame.
void show_loaded_state() {
  for (INSTRUMENT_GUI* panel : instrument_panels) panel->show_state();
  input.full_frame_wanted = true;
}

void print_line(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

std::optional<std::string> ask_session_name() {
  pattern_console console;
  console.extension = ".zem";
  return ask_pattern_file_name(console);
}

}  // namespace

void check_session_option(const program_options& options) {
  if (options.restore && !options.session_file.empty())
    refuse_option("give a session file or --restore, not both", true);
  const std::string path = options.restore ? autosave_path() : options.session_file;
  if (options.restore && path.empty())
    refuse_option("--restore: no folder for the autosave (neither XDG_STATE_HOME nor HOME is set)",
                  false);
  if (path.empty()) return;
  // The panels do not exist yet: the file is checked against plain engines
  // of the same members, which give back the instrument numbers they took.
  const int32_t next_number = instrument_counter;
  rack_session session;
  std::string error;
  bool read = false;
  {
    engine_rack scratch;
    read = read_session_file(path, scratch.instruments(), session, error);
  }
  instrument_counter = next_number;
  if (!read) refuse_option(error, false);
  current->checked = std::move(session);
  current->restoring = options.restore;
  current->checked_name = name_of(path);
  if (!options.restore) current->path = path;
}

void start_session() {
  for (int n = 0; n < instrument_count; ++n)
    current->members[n] = instrument_list[rack_members[n].list_index];
  current->handoff = std::make_unique<session_handoff>(current->members);
  if (!fsound_block_listeners().add(current->handoff.get()))
    print_line("sessions cannot be opened or saved: the audio layer takes no more listeners");
  if (!current->checked) return;
  // No stream exists yet: the rack takes the session at once.
  current->handoff->load(*current->checked);
  take_rack_wide(*current->checked, current->held);
  take_clock_settings(*current->checked);
  current->checked.reset();
  for (INSTRUMENT_GUI* panel : instrument_panels) panel->show_state();
  set_status_part(status_part::session, current->restoring
                                            ? "restored from " + current->checked_name
                                            : current->checked_name);
}

session_rack program_rack() {
  return current->members;
}

void capture_program_session(rack_session& session) {
  const std::lock_guard<std::mutex> one_at_a_time(current->transfers);
  take_rack_wide(current->held, session);
  if (rack_clock_started()) {
    session.bpm = program_rack_clock().bpm();
    session.sync = program_rack_clock().sync();
  }
  current->handoff->capture(session);
}

void open_session_file() {
  const std::optional<std::string> name = ask_session_name();
  if (!name) return;
  rack_session session;
  std::string error;
  if (!read_session_file(*name, program_rack(), session, error)) return print_line(error);
  {
    const std::lock_guard<std::mutex> one_at_a_time(current->transfers);
    if (!current->handoff->load(session))
      return print_line("cannot load " + *name + ": " + rack_not_playing);
    take_rack_wide(session, current->held);
  }
  take_clock_settings(session);
  current->path = *name;
  set_status_part(status_part::session, name_of(*name));
  show_loaded_state();
  print_line("loaded " + *name);
}

void save_session_file() {
  std::string path = current->path;
  if (path.empty()) {
    const std::optional<std::string> name = ask_session_name();
    if (!name) return;
    path = *name;
  }
  rack_session session;
  std::string error;
  capture_program_session(session);
  if (!write_session_file(path, session, program_rack(), error)) return print_line(error);
  current->path = path;
  set_status_part(status_part::session, name_of(path));
  print_line("saved " + path);
}
