#include "session_options.h"

#include "session_file.h"
#include "session_handoff.h"

namespace {

session_rack rack_of(render_session& instruments) {
  return session_rack(instruments.instruments().data(), session_member_count);
}

}  // namespace

bool open_session_option(const render_options& options, render_session& instruments,
                         rack_session& session, std::string& error) {
  if (!options.session_file) return true;
  if (!read_session_file(*options.session_file, rack_of(instruments), session, error)) return false;
  session_handoff(rack_of(instruments)).load(session);
  instruments.set_tempo(session.bpm);
  return true;
}

bool save_session_option(const render_options& options, render_session& instruments,
                         rack_session& session, std::string& error) {
  if (!options.save_session_file) return true;
  session_handoff(rack_of(instruments)).capture(session);
  session.bpm = instruments.tempo();
  return write_session_file(*options.save_session_file, session, rack_of(instruments), error);
}
