#include "session_changes.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

#include "pattern_image.h"

namespace {

// The fields that render moves on every frame or every step; all are scalars.
constexpr std::array<std::string_view, 9> running_image_fields = {
    "current_step",    "step_sample_counter", "phase",         "drum_phase",        "pitch_factor",
    "filter_position", "filter_velocity",     "filter_cutoff", "filter_coefficient"};
constexpr std::array<std::string_view, 2> running_settings = {"envelope_lfo.position",
                                                              "filter_lfo.position"};

using offsets = std::array<int32_t, running_image_fields.size()>;

// Equal bytes, apart from the 4-byte words at `skipped` (sorted; -1 for none).
bool equal_apart_from(std::span<const unsigned char> a, std::span<const unsigned char> b,
                      std::span<const int32_t> skipped) {
  if (a.size() != b.size()) return false;
  size_t from = 0;
  for (const int32_t word : skipped) {
    if (word < 0) continue;
    const size_t at = static_cast<size_t>(word);
    if (at + 4 > a.size()) break;
    if (std::memcmp(a.data() + from, b.data() + from, at - from) != 0) return false;
    from = at + 4;
  }
  return std::memcmp(a.data() + from, b.data() + from, a.size() - from) == 0;
}

offsets running_image_offsets(const INSTRUMENT& member) {
  const image_layout layout = image_layout_of(member);
  offsets found;
  found.fill(-1);
  for (size_t k = 0; k < running_image_fields.size(); ++k) {
    if (const field_spec* own = find_in(layout.engine_fields, running_image_fields[k]))
      found[k] = own->offset;
    else if (const field_spec* shared = find_in(instrument_fields(), running_image_fields[k]))
      found[k] = layout.block_offset + shared->offset;
  }
  std::sort(found.begin(), found.end());
  return found;
}

std::array<int32_t, running_settings.size()> running_settings_offsets() {
  std::array<int32_t, running_settings.size()> found{};
  for (size_t k = 0; k < running_settings.size(); ++k)
    found[k] = find_in(instrument_fields(), running_settings[k])->settings_offset;
  std::sort(found.begin(), found.end());
  return found;
}

bool same_sections(const rack_session& a, const rack_session& b) {
  if (a.kept_sections.size() != b.kept_sections.size()) return false;
  for (size_t k = 0; k < a.kept_sections.size(); ++k)
    if (a.kept_sections[k].name != b.kept_sections[k].name ||
        a.kept_sections[k].payload != b.kept_sections[k].payload)
      return false;
  return true;
}

}  // namespace

bool same_edits(const rack_session& a, const rack_session& b, session_rack rack) {
  if (a.bpm != b.bpm || a.sync != b.sync || a.midi_bindings != b.midi_bindings ||
      !same_sections(a, b))
    return false;
  const auto settings_skipped = running_settings_offsets();
  for (int n = 0; n < session_member_count; ++n) {
    const session_member& x = a.members[n];
    const session_member& y = b.members[n];
    if (!equal_apart_from(x.image, y.image, running_image_offsets(*rack[n])) ||
        !equal_apart_from(x.settings, y.settings, settings_skipped))
      return false;
  }
  return true;
}
