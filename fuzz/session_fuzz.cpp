// Feeds damaged session files to the reader. A session is about 1 MB, far
// beyond what the fuzzer writes by itself, so most inputs are a list of
// damages done to a valid file (file_damage.h). Byte 0 is the mode (modulo
// 3): 0 the rest of the input is the file itself; 1 the damages; 2 the
// damages, then every checksum that the damaged structure still shows made
// right again, so that the checks behind the checksums are reached.
// Whatever the file, the reader either refuses it, leaving the session and
// the rack as they were, or gives a session that passes every check, encodes
// back to a file that reads the same, and plays once applied.
#include <cstdint>
#include <string>
#include <vector>

#include "crc32.h"
#include "field_codec.h"
#include "file_damage.h"
#include "rack.h"
#include "session_image.h"

namespace {

using bytes = std::vector<unsigned char>;

engine_rack& rack() {
  static engine_rack members;
  return members;
}

bytes encoded(const rack_session& session) {
  bytes file;
  std::string error;
  if (!encode_session(session, file, error)) __builtin_trap();
  return file;
}

// The fresh rack's session, with bindings and a section of a newer version.
const bytes& valid_file() {
  static const bytes file = [] {
    rack_session session;
    capture_session(rack().instruments(), session);
    session.midi_bindings = "cc 1 7 volume\n";
    session.kept_sections.push_back({{'n', 'e', 'w', '1'}, {1, 2, 3, 4}});
    return encoded(session);
  }();
  return file;
}

void mend_checksums(bytes& file) {
  if (file.size() < 16) return;
  put_word(file.data() + 12, crc32({file.data(), 12}));
  for (size_t at = 16; file.size() - at >= 12;) {
    const uint32_t length = get_word(file.data() + at + 4);
    if (length > file.size() - at - 12) return;
    const uint32_t head = crc32({file.data() + at, 8});
    put_word(file.data() + at + 8, crc32({file.data() + at + 12, length}, head));
    at += 12 + length;
  }
}

bytes fuzzed_file(const uint8_t* data, size_t size) {
  if (data[0] % 3 == 0) return bytes(data + 1, data + size);
  bytes file = damaged_file(valid_file(), data, size);
  if (data[0] % 3 == 2) mend_checksums(file);
  return file;
}

// The rack's state as the last accepted session left it.
rack_session& rack_state() {
  static rack_session state = [] {
    rack_session session;
    capture_session(rack().instruments(), session);
    return session;
  }();
  return state;
}

bool same_members(const rack_session& a, const rack_session& b) {
  for (int n = 0; n < session_member_count; ++n)
    if (a.members[n].image != b.members[n].image || a.members[n].settings != b.members[n].settings)
      return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const session_rack members = rack().instruments();
  const bytes file = fuzzed_file(data, size);
  rack_session read;
  std::string refusal;
  if (!decode_session(file, members, read, refusal)) {
    if (refusal.empty() || refusal.find('\n') != std::string::npos) __builtin_trap();
    if (!read.members[0].image.empty()) __builtin_trap();  // a refusal filled the session
    static rack_session now;
    capture_session(members, now);
    if (!same_members(now, rack_state())) __builtin_trap();  // a refusal changed the rack
    return 0;
  }
  if (!session_refusal(read, members).empty()) __builtin_trap();  // took a bad file
  const bytes again = encoded(read);
  rack_session reread;
  if (!decode_session(again, members, reread, refusal)) __builtin_trap();
  if (encoded(reread) != again) __builtin_trap();  // a re-save that reads differently
  apply_session(read, members);
  int16_t block[2 * 64];
  for (INSTRUMENT* member : members) member->render(nullptr, block, sizeof block, nullptr);
  capture_session(members, rack_state());
  return 0;
}
