// The rack's state in and out of a session: the members' images and LFO
// settings, taken, checked and applied by the pattern-file codec and the
// settings codec, so that a session holds exactly what the .sta files hold.
#include <cmath>
#include <cstdio>
#include <string>

#include "instrument_settings.h"
#include "pattern_image.h"
#include "session_image.h"

namespace {

// Sized only when the size differs: a session captured before keeps its buffers.
void fit(std::vector<unsigned char>& bytes, int32_t size) {
  if (bytes.size() != static_cast<size_t>(size)) bytes.assign(static_cast<size_t>(size), 0);
}

std::string tempo_refusal(double bpm) {
  if (!std::isfinite(bpm)) return "the tempo is not a finite number";
  if (bpm >= lowest_session_bpm && bpm <= highest_session_bpm) return {};
  char text[96];
  std::snprintf(text, sizeof text, "the tempo %.9g BPM is outside %g to %g", bpm,
                lowest_session_bpm, highest_session_bpm);
  return text;
}

std::string sync_refusal(sync_source sync) {
  switch (sync) {
    case sync_source::internal:
    case sync_source::midi_clock:
    case sync_source::jack_transport:
      return {};
  }
  return "unknown sync source " + std::to_string(static_cast<uint32_t>(sync));
}

}  // namespace

void size_session_for(session_rack rack, rack_session& session) {
  for (int n = 0; n < session_member_count; ++n) {
    fit(session.members[n].image, image_layout_of(*rack[n]).size);
    fit(session.members[n].settings, instrument_settings_size);
  }
}

void capture_session(session_rack rack, rack_session& session) {
  size_session_for(rack, session);
  for (int n = 0; n < session_member_count; ++n) {
    encode_image(*rack[n], session.members[n].image);
    encode_settings(*rack[n], session.members[n].settings);
  }
}

std::string session_refusal(const rack_session& session, session_rack rack) {
  for (int n = 0; n < session_member_count; ++n) {
    const session_member& member = session.members[n];
    std::string refusal = image_refusal(*rack[n], member.image);
    if (refusal.empty()) refusal = settings_refusal(*rack[n], member.settings);
    if (!refusal.empty()) return "instrument " + std::to_string(n) + ": " + refusal;
  }
  if (std::string refusal = tempo_refusal(session.bpm); !refusal.empty()) return refusal;
  return sync_refusal(session.sync);
}

void apply_session(const rack_session& session, session_rack rack) {
  for (int n = 0; n < session_member_count; ++n) {
    apply_image(*rack[n], session.members[n].image);
    apply_settings(*rack[n], session.members[n].settings);
  }
}
