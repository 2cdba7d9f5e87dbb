#pragma once
// A session file (.zem): the whole rack in one file. Each member's pattern-file
// image byte for byte, its LFO settings, the rack's tempo, sync source and MIDI
// bindings, in named sections with a checksum each, behind a versioned header.
// docs/session-format.md describes the bytes.
//
// Reading is complete before anything changes: decode_session checks the
// whole file, the sections' structure and every value, against the rack it is
// meant for, and only a session that passed is ever applied.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "instrument.h"
#include "rack_members.h"

// The rack's members, addressed by instrument number: the order of the rack's
// construction (rack_members.h).
constexpr int session_member_count = instrument_count;
using session_rack = std::span<INSTRUMENT* const, session_member_count>;

constexpr uint16_t session_major_version = 1;
constexpr uint16_t session_minor_version = 0;

// One step is a sixteenth note: BPM = 15 * 44100 / samples_per_step, so the
// default step of 5512.5 frames is 120 BPM.
constexpr double default_session_bpm = 120.0;
constexpr double lowest_session_bpm = 20.0;
constexpr double highest_session_bpm = 300.0;

// What drives the rack's steps. The numbers are the file's.
enum class sync_source : uint32_t { internal = 0, midi_clock = 1, jack_transport = 2 };

struct session_member {
  std::vector<unsigned char> image;     // its pattern file, byte for byte
  std::vector<unsigned char> settings;  // its LFO records (instrument_settings.h)
};

// A section that this version does not know (a newer minor version's), kept
// as it was read and written back after the known ones.
struct session_section {
  std::array<char, 4> name{};
  std::vector<unsigned char> payload;
};

struct rack_session {
  std::array<session_member, session_member_count> members;
  double bpm = default_session_bpm;
  sync_source sync = sync_source::internal;
  std::string midi_bindings;  // one binding a line; stored and returned as it is
  std::vector<session_section> kept_sections;
};

// ---- The bytes (session_image.cpp) ----

// The file form of a session. Fails, with a one-line reason, only for a
// section too large for its 32-bit length. The content is not checked here:
// a captured state goes through session_refusal first, as a pattern file does.
bool encode_session(const rack_session& session, std::vector<unsigned char>& bytes,
                    std::string& error);

// Reads a whole file into `session` when it is a sound session for this rack;
// otherwise leaves `session` as it was and gives a one-line reason. Refused:
// a short or truncated file, another format, a newer major version, a damaged
// header or section (checksum), a known section of the wrong size or found
// twice, a missing one, and whatever session_refusal refuses.
bool decode_session(std::span<const unsigned char> bytes, session_rack rack, rack_session& session,
                    std::string& refusal);

// ---- The rack's state (session_state.cpp) ----

// Takes the members' images and LFO settings into `session`; its tempo, sync,
// bindings and kept sections stay as they are. Allocates nothing once
// `session` holds members of these sizes (captured from, or decoded for, the
// same rack), so that it can run between two render blocks.
void capture_session(session_rack rack, rack_session& session);

// Sizes the members' buffers of `session` for this rack, so that
// capture_session into it allocates nothing.
void size_session_for(session_rack rack, rack_session& session);

// Why this session cannot be applied to this rack, a one-line reason naming
// the instrument or setting, or an empty text: the pattern-file checks of each
// image against its member (size, engine, ranges), the LFO settings, the tempo
// and the sync source.
std::string session_refusal(const rack_session& session, session_rack rack);

// Applies an accepted session's members: each image as a pattern-file load
// does (apply_image), then its LFO settings. Tempo, sync and bindings are the
// caller's to take. Allocates nothing and takes no lock, so that it can run on
// the audio thread at one block boundary for all five.
void apply_session(const rack_session& session, session_rack rack);
