#pragma once
// Session files on disk. Reading takes the whole file and checks all of it
// (decode_session) before anything changes; writing goes through a temporary
// file that replaces the destination only once complete (atomic_file.h), so a
// failed save leaves the old file intact.
#include <cstdint>
#include <string>

#include "session_image.h"

// The largest file taken for a session: five members need about 1.3 MB; the
// rest leaves room for sections of newer versions.
constexpr uint64_t session_file_limit = 64ull << 20;

// Reads and checks the session file at `path` for this rack into `session`.
// Only a regular file is read (a FIFO or a device is refused at once, never
// waited on). False with one line naming the file and the reason in `error`;
// `session` is then as it was.
bool read_session_file(const std::string& path, session_rack rack, rack_session& session,
                       std::string& error);

// Writes `session` to `path` when it could be loaded back into this rack;
// false with one line in `error` otherwise.
bool write_session_file(const std::string& path, const rack_session& session, session_rack rack,
                        std::string& error);
