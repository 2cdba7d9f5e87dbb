#include "session_options.h"

#include <filesystem>

#include "session_file.h"
#include "session_handoff.h"

namespace {

// Whether two names lead to the same file, existing or to be made.
bool same_file(const std::string& a, const std::string& b) {
  std::error_code error;
  if (std::filesystem::equivalent(a, b, error)) return true;
  const auto where = [](const std::string& name) {
    std::error_code ignored;
    const std::filesystem::path place =
        std::filesystem::weakly_canonical(std::filesystem::absolute(name, ignored), ignored);
    return ignored ? std::filesystem::path(name) : place;
  };
  return where(a) == where(b);
}

// The output would replace a session file that the command reads or writes.
bool overwrites_session(const render_options& options, std::string& error) {
  for (const auto& file : {options.session_file, options.save_session_file}) {
    if (file && same_file(*file, options.output)) {
      error = "the output " + options.output + " is the session file " + *file;
      return true;
    }
  }
  return false;
}

session_rack rack_of(render_session& instruments) {
  return session_rack(instruments.instruments().data(), session_member_count);
}

}  // namespace

bool open_session_option(const render_options& options, render_session& instruments,
                         rack_session& session, std::string& error) {
  if (overwrites_session(options, error)) return false;
  if (!options.session_file) return true;
  if (!read_session_file(*options.session_file, rack_of(instruments), session, error)) return false;
  session_handoff(rack_of(instruments)).load(session);
  return true;
}

bool save_session_option(const render_options& options, render_session& instruments,
                         rack_session& session, std::string& error) {
  if (!options.save_session_file) return true;
  session_handoff(rack_of(instruments)).capture(session);
  return write_session_file(*options.save_session_file, session, rack_of(instruments), error);
}
