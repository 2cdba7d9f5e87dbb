// Stress: whole sessions loaded and saved while another thread renders the
// rack, as the audio layer does. Each session gives all five members one
// volume as its mark; after every render call the rack holds one session's
// mark in all five members, never a mix, and every save catches all five at
// the same frame, with the session loaded last.
#include <gtest/gtest.h>

#include <atomic>
#include <bit>
#include <optional>
#include <thread>
#include <vector>

#include "pattern_image.h"
#include "pattern_images.h"
#include "rack.h"
#include "session_handoff.h"

namespace {

// The word at `offset` of the INSTRUMENT block that all five members hold,
// in the rack (their volume) or in a saved session; none for a mix.
std::optional<uint32_t> common(const engine_rack& rack, size_t offset,
                               const rack_session* saved = nullptr) {
  std::vector<uint32_t> words;
  for (int n = 0; n < session_member_count; ++n) {
    const INSTRUMENT& member = *rack.instruments()[n];
    const size_t at = image_layout_of(member).block_offset + offset;
    words.push_back(saved ? word_at(saved->members[n].image, at)
                          : std::bit_cast<uint32_t>(float(member.volume)));
  }
  if (std::count(words.begin(), words.end(), words[0]) != session_member_count) return {};
  return words[0];
}
constexpr size_t volume = 128, step_counter = 100;
constexpr float marks[] = {0.25f, 0.75f};

}  // namespace

TEST(SessionLoadStress, RenderBlocksAndSavesNeverMixTwoSessions) {
  constexpr int loads = 40;  // alternately the two sessions
  engine_rack rack;
  rack_session sessions[2];
  for (int k = 0; k < 2; ++k) {
    for (INSTRUMENT* member : rack.instruments()) member->volume = marks[k];
    capture_session(rack.instruments(), sessions[k]);
  }
  session_handoff handoff(rack.instruments());
  rack.listeners().add(&handoff);
  int stream = 0;  // a stream renders the rack from now on
  for (INSTRUMENT* member : rack.instruments()) member->stream_handle = &stream;
  std::atomic<bool> stop{false};
  int mixed = 0, changes = 0, saves_mixed = 0;
  std::thread renderer([&] {
    std::vector<int16_t> out(2 * 100);
    for (auto last = common(rack, volume); !stop.load();) {
      rack.render_mixed(out.data(), 100);  // ends inside blocks, crosses at most one boundary
      const auto now = common(rack, volume);
      mixed += !now;
      changes += now != last;
      last = now;
    }
  });
  rack_session saved;
  for (int n = 0; n < loads; ++n) {
    EXPECT_TRUE(handoff.load(sessions[n % 2])) << n;
    handoff.capture(saved);
    // The session loaded last, and all five members at one frame.
    saves_mixed += common(rack, volume, &saved) != std::bit_cast<uint32_t>(marks[n % 2]) ||
                   !common(rack, step_counter, &saved);
  }
  stop = true;
  renderer.join();
  EXPECT_EQ(mixed, 0);
  EXPECT_EQ(saves_mixed, 0);
  EXPECT_EQ(changes, loads);  // each load taken by exactly one block
}
