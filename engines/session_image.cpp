// The bytes of a session file: a 16-byte header, then sections of a 4-byte
// name, a 32-bit length, a CRC-32 and the payload, closed by an end section
// that counts them. All numbers little-endian.
#include "session_image.h"

#include <bit>
#include <cstring>
#include <limits>

#include "crc32.h"
#include "field_codec.h"
#include "instrument_settings.h"

namespace {

constexpr unsigned char magic[8] = {'Z', 'E', 'M', 'R', 'A', 'C', 'K', '\n'};
constexpr size_t header_size = 16;        // magic, major, minor, CRC-32 of those 12 bytes
constexpr size_t section_head_size = 12;  // name, length, CRC-32
constexpr int64_t any_size = -1;

using section_name = std::array<char, 4>;

enum class section_kind { image, settings, tempo, sync, bindings, end };

struct known_section {
  section_name name;
  section_kind kind;
  int member;  // for the members' sections
};

constexpr int known_count = 2 * session_member_count + 4;

// The sections of this version, in the order they are written; the end
// section closes the file after the kept ones.
constexpr std::array<known_section, known_count> known = [] {
  std::array<known_section, known_count> list{};
  int k = 0;
  for (int n = 0; n < session_member_count; ++n) {
    const char digit = static_cast<char>('0' + n);
    list[k++] = {{'i', 'n', 's', digit}, section_kind::image, n};
    list[k++] = {{'l', 'f', 'o', digit}, section_kind::settings, n};
  }
  list[k++] = {{'t', 'm', 'p', 'o'}, section_kind::tempo, 0};
  list[k++] = {{'s', 'y', 'n', 'c'}, section_kind::sync, 0};
  list[k++] = {{'m', 'i', 'd', 'i'}, section_kind::bindings, 0};
  list[k++] = {{'e', 'n', 'd', '.'}, section_kind::end, 0};
  return list;
}();
constexpr const known_section& end_section = known[known_count - 1];

int64_t fixed_size(section_kind kind) {
  switch (kind) {
    case section_kind::settings:
      return instrument_settings_size;
    case section_kind::tempo:
      return 8;
    case section_kind::sync:
    case section_kind::end:
      return 4;
    default:
      return any_size;  // an image's size is its engine's, checked with the image
  }
}

int find_known(const unsigned char* name) {
  for (int k = 0; k < known_count; ++k)
    if (std::memcmp(known[k].name.data(), name, 4) == 0) return k;
  return -1;
}

// Built by appending: "\"" + std::string(...) trips a false -Wrestrict
// warning of g++ 12 in optimised builds.
std::string quoted(const section_name& name) {
  std::string text(1, '"');
  text.append(name.data(), name.size());
  text.push_back('"');
  return text;
}

std::string description(const known_section& section) {
  const std::string member = "instrument " + std::to_string(section.member);
  switch (section.kind) {
    case section_kind::image:
      return member;
    case section_kind::settings:
      return "LFO settings of " + member;
    case section_kind::tempo:
      return "tempo";
    case section_kind::sync:
      return "sync source";
    case section_kind::bindings:
      return "MIDI bindings";
    case section_kind::end:
      break;
  }
  return "end";
}

std::string bytes_text(size_t count) {
  return std::to_string(count) + (count == 1 ? " byte" : " bytes");
}

uint16_t get_u16(const unsigned char* at) {
  return static_cast<uint16_t>(at[0] | at[1] << 8);
}

void append_word(std::vector<unsigned char>& bytes, uint32_t word) {
  bytes.resize(bytes.size() + 4);
  put_word(bytes.data() + bytes.size() - 4, word);
}

uint32_t section_checksum(std::span<const unsigned char> head,
                          std::span<const unsigned char> payload) {
  return crc32(payload, crc32(head.first(8)));
}

void append_section(std::vector<unsigned char>& bytes, const section_name& name,
                    std::span<const unsigned char> payload) {
  const size_t at = bytes.size();
  bytes.insert(bytes.end(), name.begin(), name.end());
  append_word(bytes, static_cast<uint32_t>(payload.size()));
  append_word(bytes, 0);
  bytes.insert(bytes.end(), payload.begin(), payload.end());
  put_word(bytes.data() + at + 8, section_checksum({bytes.data() + at, 8}, payload));
}

// Calls visit(name, payload) for every section of the session but the end, in
// file order.
template <typename Visit>
void for_each_section(const rack_session& session, Visit&& visit) {
  unsigned char tempo[8];
  const uint64_t tempo_bits = std::bit_cast<uint64_t>(session.bpm);
  put_word(tempo, static_cast<uint32_t>(tempo_bits));
  put_word(tempo + 4, static_cast<uint32_t>(tempo_bits >> 32));
  unsigned char sync[4];
  put_word(sync, static_cast<uint32_t>(session.sync));
  for (const known_section& section : known) {
    const session_member& member = session.members[section.member];
    switch (section.kind) {
      case section_kind::image:
        visit(section.name, std::span<const unsigned char>(member.image));
        break;
      case section_kind::settings:
        visit(section.name, std::span<const unsigned char>(member.settings));
        break;
      case section_kind::tempo:
        visit(section.name, std::span<const unsigned char>(tempo));
        break;
      case section_kind::sync:
        visit(section.name, std::span<const unsigned char>(sync));
        break;
      case section_kind::bindings:
        visit(section.name,
              std::span(reinterpret_cast<const unsigned char*>(session.midi_bindings.data()),
                        session.midi_bindings.size()));
        break;
      case section_kind::end:
        break;
    }
  }
  for (const session_section& kept : session.kept_sections)
    visit(kept.name, std::span<const unsigned char>(kept.payload));
}

// The sections of a file, as its structure gives them, before any value is read.
struct file_sections {
  std::array<std::span<const unsigned char>, known_count> known_payloads;
  std::vector<session_section> kept;
};

std::string header_refusal(std::span<const unsigned char> bytes) {
  if (bytes.size() < sizeof magic || std::memcmp(bytes.data(), magic, sizeof magic) != 0)
    return "not a zem session file";
  if (bytes.size() < header_size)
    return "truncated: the header ends after " + bytes_text(bytes.size());
  if (crc32(bytes.first(12)) != get_word(bytes.data() + 12))
    return "damaged header: its checksum does not match";
  const uint16_t major = get_u16(bytes.data() + 8);
  const std::string version =
      std::to_string(major) + "." + std::to_string(get_u16(bytes.data() + 10));
  if (major > session_major_version)
    return "session format " + version + " is newer than this zem reads (" +
           std::to_string(session_major_version) + ".x)";
  if (major < session_major_version) return "unknown session format " + version;
  return {};
}

std::string structure_refusal(std::span<const unsigned char> bytes, file_sections& sections) {
  if (std::string refusal = header_refusal(bytes); !refusal.empty()) return refusal;
  std::array<bool, known_count> seen{};
  uint32_t counted = 0;
  size_t at = header_size;
  for (;;) {
    const std::string where = " at byte " + std::to_string(at);
    if (at == bytes.size()) return "truncated: no end section";
    if (bytes.size() - at < section_head_size) return "truncated: a section head" + where;
    const std::span<const unsigned char> head = bytes.subspan(at, section_head_size);
    const uint32_t length = get_word(head.data() + 4);
    if (length > bytes.size() - at - section_head_size)
      return "truncated: the section" + where + " holds " + std::to_string(length) +
             " bytes, the file ends " + bytes_text(bytes.size() - at - section_head_size) +
             " after its head";
    const std::span<const unsigned char> payload = bytes.subspan(at + section_head_size, length);
    if (section_checksum(head, payload) != get_word(head.data() + 8))
      return "damaged section" + where + ": its checksum does not match";
    at += section_head_size + length;
    const int k = find_known(head.data());
    if (k < 0) {
      session_section& kept = sections.kept.emplace_back();
      std::memcpy(kept.name.data(), head.data(), 4);
      kept.payload.assign(payload.begin(), payload.end());
      ++counted;
      continue;
    }
    if (seen[k]) return "the section " + quoted(known[k].name) + " appears twice";
    const int64_t size = fixed_size(known[k].kind);
    if (size != any_size && length != size)
      return "the section " + quoted(known[k].name) + " holds " + std::to_string(length) +
             " bytes, not " + std::to_string(size);
    seen[k] = true;
    sections.known_payloads[k] = payload;
    if (known[k].kind == section_kind::end) break;
    ++counted;
  }
  if (at != bytes.size()) return bytes_text(bytes.size() - at) + " after the end section";
  const uint32_t listed = get_word(sections.known_payloads[known_count - 1].data());
  if (listed != counted)
    return "the end section counts " + std::to_string(listed) + " sections, the file holds " +
           std::to_string(counted);
  for (int k = 0; k < known_count; ++k)
    if (!seen[k]) return "no section " + quoted(known[k].name) + " (" + description(known[k]) + ")";
  return {};
}

// The values of a structurally sound file.
void take_values(file_sections& sections, rack_session& session) {
  for (int k = 0; k < known_count; ++k) {
    const std::span<const unsigned char> payload = sections.known_payloads[k];
    session_member& member = session.members[known[k].member];
    switch (known[k].kind) {
      case section_kind::image:
        member.image.assign(payload.begin(), payload.end());
        break;
      case section_kind::settings:
        member.settings.assign(payload.begin(), payload.end());
        break;
      case section_kind::tempo:
        session.bpm = std::bit_cast<double>(get_word(payload.data()) |
                                            uint64_t{get_word(payload.data() + 4)} << 32);
        break;
      case section_kind::sync:
        session.sync = static_cast<sync_source>(get_word(payload.data()));
        break;
      case section_kind::bindings:
        session.midi_bindings.assign(payload.begin(), payload.end());
        break;
      case section_kind::end:
        break;
    }
  }
  session.kept_sections = std::move(sections.kept);
}

}  // namespace

bool encode_session(const rack_session& session, std::vector<unsigned char>& bytes,
                    std::string& error) {
  size_t total = header_size + section_head_size + 4;
  error.clear();
  for_each_section(session, [&](const section_name& name, std::span<const unsigned char> payload) {
    if (payload.size() > std::numeric_limits<uint32_t>::max() && error.empty())
      error = "the section " + quoted(name) + " is too large for a session file";
    total += section_head_size + payload.size();
  });
  if (!error.empty()) return false;
  bytes.clear();
  bytes.reserve(total);
  bytes.insert(bytes.end(), std::begin(magic), std::end(magic));
  append_word(bytes, session_major_version | uint32_t{session_minor_version} << 16);
  append_word(bytes, crc32(bytes));
  uint32_t count = 0;
  for_each_section(session, [&](const section_name& name, std::span<const unsigned char> payload) {
    append_section(bytes, name, payload);
    ++count;
  });
  unsigned char listed[4];
  put_word(listed, count);
  append_section(bytes, end_section.name, listed);
  return true;
}

bool decode_session(std::span<const unsigned char> bytes, session_rack rack, rack_session& session,
                    std::string& refusal) {
  file_sections sections;
  refusal = structure_refusal(bytes, sections);
  if (!refusal.empty()) return false;
  rack_session read;
  take_values(sections, read);
  refusal = session_refusal(read, rack);
  if (!refusal.empty()) return false;
  session = std::move(read);
  return true;
}
