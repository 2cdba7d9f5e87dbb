// Session files: a whole rack round-trips byte for byte and plays on exactly,
// LFO settings included; its instrument sections are the members' pattern
// files; unknown sections survive a re-save; every damaged or unfit file is
// refused whole with one line.
#include "session_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "crc32.h"
#include "pattern_images.h"
#include "rack.h"
#include "render_frames.h"
#include "session_changes.h"
#include "tb808.h"

namespace {

// Every member away from its defaults, its filter and both LFOs moving it.
void play_somewhere(engine_rack& rack) {
  for (int n = 0; n < session_member_count; ++n) {
    INSTRUMENT& i = rack.instrument(n);
    i.current_pattern = n + 1;
    if (auto* drum = dynamic_cast<TB808*>(&i))
      for (int s = 0; s < 8; s += 2) drum->pattern_memory[n + 1][s] = 1;
    i.filter_switch = 1;
    for (LFO* lfo : {i.envelope_lfo.get(), i.filter_lfo.get()}) {
      lfo->on = 1;
      lfo->amplitude = 0.25f * (n + 1);
      lfo->period = 3.0f + n;
      lfo->third_setting = 70.0f;
    }
    render_frames(i, 700 * (n + 1));
  }
}

rack_session captured(engine_rack& rack) {
  rack_session session;
  capture_session(rack.instruments(), session);
  return session;
}

image_bytes encoded(const rack_session& session) {
  image_bytes bytes;
  std::string error;
  EXPECT_TRUE(encode_session(session, bytes, error)) << error;
  return bytes;
}

// A file taken apart into its version and sections, and put back together
// with fresh checksums, so that a case reaches the checks behind them.
struct file_parts {
  uint16_t major = 0, minor = 0;
  std::vector<std::pair<std::string, image_bytes>> sections;  // all but the end
  int miscount = 0;                                           // added to the end's count
};

file_parts parts_of(const image_bytes& file) {
  file_parts parts;
  parts.major = static_cast<uint16_t>(word_at(file, 8));
  parts.minor = static_cast<uint16_t>(word_at(file, 8) >> 16);
  for (size_t at = 16; std::string(&file[at], &file[at] + 4) != "end.";) {
    const size_t end = at + 12 + word_at(file, at + 4);
    parts.sections.push_back({std::string(&file[at], &file[at] + 4), {&file[at + 12], &file[end]}});
    at = end;
  }
  return parts;
}

void append_section(image_bytes& file, const std::string& name, const image_bytes& payload) {
  const size_t at = file.size();
  file.insert(file.end(), name.begin(), name.end());
  file.resize(at + 12);
  put_word(file, at + 4, static_cast<uint32_t>(payload.size()));
  file.insert(file.end(), payload.begin(), payload.end());
  put_word(file, at + 8, crc32(payload, crc32({&file[at], 8})));
}

image_bytes bytes_of(const file_parts& parts) {
  image_bytes file = {'Z', 'E', 'M', 'R', 'A', 'C', 'K', '\n', 0, 0, 0, 0, 0, 0, 0, 0};
  put_word(file, 8, parts.major | uint32_t{parts.minor} << 16);
  put_word(file, 12, crc32({file.data(), 12}));
  for (const auto& [name, payload] : parts.sections) append_section(file, name, payload);
  image_bytes count(4);
  put_int(count, 0, static_cast<int32_t>(parts.sections.size()) + parts.miscount);
  append_section(file, "end.", count);
  return file;
}

TEST(SessionImage, RoundTripKeepsBytesStaImagesLfosAndUnknownSections) {
  engine_rack playing;
  play_somewhere(playing);
  rack_session session = captured(playing);
  session.bpm = 133.5;
  session.sync = sync_source::jack_transport;
  session.midi_bindings = "cc 1 7 volume\ncc 1 74 filter_level\n";
  // A newer minor version's file, with sections of its own among ours.
  file_parts parts = parts_of(encoded(session));
  parts.minor = 7;
  parts.sections.insert(parts.sections.begin() + 3, {"new1", {1, 2, 3}});
  parts.sections.push_back({"new2", {}});

  engine_rack loaded;
  rack_session read, again;
  std::string refusal;
  ASSERT_TRUE(decode_session(bytes_of(parts), loaded.instruments(), read, refusal)) << refusal;
  // Re-saved with the unknown sections after ours, in order; and bytes ->
  // session -> bytes gives the same bytes.
  rack_session expected = session;
  expected.kept_sections = {{{'n', 'e', 'w', '1'}, {1, 2, 3}}, {{'n', 'e', 'w', '2'}, {}}};
  const image_bytes resaved = encoded(read);
  EXPECT_EQ(resaved, encoded(expected));
  ASSERT_TRUE(decode_session(resaved, loaded.instruments(), again, refusal)) << refusal;
  EXPECT_EQ(encoded(again), resaved);

  // Taken apart, the instrument sections are the members' pattern files; put
  // back, the session plays on exactly, while the pattern files alone lose the LFOs.
  engine_rack from_patterns;
  apply_session(read, loaded.instruments());
  for (int n = 0; n < session_member_count; ++n) {
    SCOPED_TRACE(n);
    EXPECT_EQ(read.members[n].image, image_of(playing.instrument(n)));
    ASSERT_EQ(read_image(from_patterns.instrument(n), read.members[n].image), 1);
    for (const LFO* lfo :
         {loaded.instrument(n).envelope_lfo.get(), loaded.instrument(n).filter_lfo.get()})
      EXPECT_EQ(lfo->third_setting, 70.0f);  // not heard, but kept
    const auto expected = render_frames(playing.instrument(n), 2 * frames_per_step);
    EXPECT_EQ(render_frames(loaded.instrument(n), 2 * frames_per_step), expected);
    EXPECT_NE(render_frames(from_patterns.instrument(n), 2 * frames_per_step), expected);
  }
}

TEST(SessionImage, CorruptingAnySingleByteIsDetected) {
  engine_rack rack;
  const image_bytes file = encoded(captured(rack));
  // Every byte of the header and of each section's head and first and last
  // words, and a spread of the bytes between.
  std::vector<size_t> places;
  for (size_t at = 0; at < 16; ++at) places.push_back(at);
  for (size_t at = 16; at < file.size();) {
    const size_t end = at + 12 + word_at(file, at + 4);
    for (size_t k = at; k < end;
         k = (k < at + 20 || k + 8 >= end) ? k + 1 : std::min(k + 8191, end - 8))
      places.push_back(k);
    at = end;
  }
  for (size_t k = 0; k < places.size(); ++k) {
    image_bytes damaged = file;
    damaged[places[k]] ^= static_cast<unsigned char>(k % 9 == 8 ? 0xFF : 1 << (k % 8));
    rack_session read;
    std::string refusal;
    ASSERT_FALSE(decode_session(damaged, rack.instruments(), read, refusal))
        << "byte " << places[k];
    EXPECT_TRUE(read.members[0].image.empty());
  }
}

// A file made from a sound session by changing the session, then the file's
// parts (checksums made right again), then its bytes.
struct file_edits {
  std::function<void(rack_session&)> session = [](rack_session&) {};
  std::function<void(file_parts&)> parts = [](file_parts&) {};
  std::function<void(image_bytes&)> bytes = [](image_bytes&) {};
};
image_bytes edited(rack_session session, const file_edits& edits) {
  edits.session(session);
  file_parts parts = parts_of(encoded(session));
  edits.parts(parts);
  image_bytes file = bytes_of(parts);
  edits.bytes(file);
  return file;
}

TEST(SessionImage, UnfitFilesAreRefusedWholeWithOneLine) {
  using S = rack_session&;
  using P = file_parts&;
  using B = image_bytes&;
  const struct {
    const char* reason;  // a part of the one line; empty: the file is accepted
    file_edits edits;
  } cases[] = {
      // Another format, a short or truncated file.
      {"not a zem session file", {.bytes = [](B f) { f.clear(); }}},
      {"not a zem session file", {.bytes = [](B f) { f.erase(f.begin(), f.begin() + 28); }}},
      {"truncated: the header ends after 12 bytes", {.bytes = [](B f) { f.resize(12); }}},
      {"truncated: no end section", {.bytes = [](B f) { f.resize(f.size() - 16); }}},
      {"truncated: a section head at byte", {.bytes = [](B f) { f.resize(f.size() - 10); }}},
      {"truncated: the section at byte 16 holds 260348 bytes, the file ends 1 byte after its head",
       {.bytes = [](B f) { f.resize(29); }}},
      {"3 bytes after the end section", {.bytes = [](B f) { f.resize(f.size() + 3); }}},
      // Versions.
      {"session format 2.0 is newer than this zem reads (1.x)",
       {.parts = [](P p) { p.major = 2; }}},
      {"unknown session format 0.3", {.parts = [](P p) { p.major = 0, p.minor = 3; }}},
      // Sections missing, twice, of the wrong size, miscounted; any order is fine.
      {"no section \"ins2\" (instrument 2)",
       {.parts = [](P p) { p.sections.erase(p.sections.begin() + 4); }}},
      {"no section \"lfo4\" (LFO settings of instrument 4)",
       {.parts = [](P p) { p.sections.erase(p.sections.begin() + 9); }}},
      {"the section \"tmpo\" appears twice",
       {.parts = [](P p) { p.sections.push_back(p.sections[10]); }}},
      {"the section \"sync\" holds 5 bytes, not 4",
       {.parts = [](P p) { p.sections[11].second.push_back(0); }}},
      {"the end section counts 14 sections, the file holds 13",
       {.parts = [](P p) { p.miscount = 1; }}},
      {"", {.parts = [](P p) { std::swap(p.sections[0], p.sections[12]); }}},
      // Values: the pattern-file checks, the LFOs, the tempo and the sync source.
      {"instrument 0: not a TB808 pattern file: 260340 bytes",
       {.session = [](S s) { std::swap(s.members[0], s.members[1]); }}},
      {"instrument 2: current_step 255 is outside 0 to 254",
       {.session = [](S s) { put_int(s.members[2].image, 1080 + 96, 255); }}},
      {"instrument 4: envelope_lfo.on 2 is outside 0 to 1",
       {.session = [](S s) { put_int(s.members[4].settings, 0, 2); }}},
      {"instrument 3: filter_lfo.period is not a finite number",
       {.session = [](S s) { put_float(s.members[3].settings, 32, NAN); }}},
      {"the tempo 19.9 BPM is outside 20 to 300", {.session = [](S s) { s.bpm = 19.9; }}},
      {"the tempo 300.5 BPM is outside", {.session = [](S s) { s.bpm = 300.5; }}},
      {"the tempo is not a finite number", {.session = [](S s) { s.bpm = INFINITY; }}},
      {"", {.session = [](S s) { s.bpm = 300; }}},
      {"unknown sync source 3", {.session = [](S s) { s.sync = static_cast<sync_source>(3); }}},
  };
  engine_rack rack;
  play_somewhere(rack);
  const rack_session session = captured(rack);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    rack_session read;
    read.bpm = 99.0;  // a refusal leaves it, and the rack, as they were
    std::string refusal;
    const bool accepted =
        decode_session(edited(session, c.edits), rack.instruments(), read, refusal);
    EXPECT_EQ(accepted, *c.reason == '\0') << refusal;
    if (accepted) continue;
    EXPECT_NE(refusal.find(c.reason), std::string::npos) << refusal;
    EXPECT_EQ(refusal.find('\n'), std::string::npos);
    EXPECT_EQ(read.bpm, 99.0);
  }
  EXPECT_EQ(encoded(captured(rack)), encoded(session));
}

// Playing on moves only the running state: no change to autosave. Any edit
// is one.
TEST(SessionImage, ChangesAreEditsNotTheRunningState) {
  using R = engine_rack&;
  const struct {
    const char* what;
    bool same;
    std::function<void(R)> change;
  } cases[] = {
      {"two steps played", true,
       [](R r) {
         for (INSTRUMENT* i : r.instruments()) render_frames(*i, 2 * frames_per_step);
       }},
      {"volume", false, [](R r) { r.instrument(3).volume = 0.4f; }},
      {"LFO depth", false, [](R r) { r.instrument(2).filter_lfo->amplitude = 2; }},
      {"pattern chosen", false, [](R r) { r.instrument(4).queued_pattern = 3; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    engine_rack rack;
    INSTRUMENT& moving = rack.instrument(0);
    moving.filter_switch = moving.envelope_lfo->on = moving.filter_lfo->on = 1;
    render_frames(moving, 100);  // the filter and both LFOs move
    const rack_session before = captured(rack);
    c.change(rack);
    EXPECT_EQ(same_edits(before, captured(rack), rack.instruments()), c.same);
  }
}

}  // namespace
