#pragma once
// zem-render's session files: --session starts the rack from a session file
// before the --set options, --save-session writes the rack's session after
// them, before rendering. Both go through the same session handoff as the
// program, here without a stream, so at once; the rack plays at the
// session's tempo, and the saved session keeps the tempo it plays at.
#include <string>

#include "render_arguments.h"
#include "render_session.h"
#include "session_image.h"

// Each returns false with one line in `error`, the rack and every file then
// as they were. `session` carries what the rack does not hold (the sync
// source, the bindings, sections of newer versions) from the opened file to
// the saved one.
bool open_session_option(const render_options& options, render_session& instruments,
                         rack_session& session, std::string& error);
bool save_session_option(const render_options& options, render_session& instruments,
                         rack_session& session, std::string& error);
