// Stress: whole sessions loaded and saved while another thread renders the
// rack, as the audio layer does. Each session gives all five members one
// volume as its mark; after every render call the rack holds one session's
// mark in all five members, never a mix, and every save holds one session
// whole.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "pattern_image.h"
#include "pattern_images.h"
#include "rack.h"
#include "session_handoff.h"

namespace {

// The mark that every member holds, in the rack or in a saved session; 0 for a mix.
float common_mark(const engine_rack& rack, const rack_session* saved = nullptr) {
  std::vector<float> marks;
  for (int n = 0; n < session_member_count; ++n) {
    const INSTRUMENT& member = *rack.instruments()[n];
    const size_t volume = image_layout_of(member).block_offset + 128;  // in the INSTRUMENT block
    marks.push_back(saved ? float_at(saved->members[n].image, volume) : float(member.volume));
  }
  return std::count(marks.begin(), marks.end(), marks[0]) == session_member_count ? marks[0] : 0;
}

}  // namespace

TEST(SessionLoadStress, RenderBlocksAndSavesNeverMixTwoSessions) {
  constexpr int loads = 40;
  engine_rack rack;
  rack_session sessions[2];
  for (int k = 0; k < 2; ++k) {
    for (INSTRUMENT* member : rack.instruments()) member->volume = 0.25f + 0.5f * k;
    capture_session(rack.instruments(), sessions[k]);
  }
  session_handoff handoff(rack.instruments());
  rack.listeners().add(&handoff);
  int stream = 0;
  for (INSTRUMENT* member : rack.instruments()) member->stream_handle = &stream;

  std::atomic<bool> stop{false};
  int mixed = 0, changes = 0, saves_mixed = 0;
  std::thread renderer([&] {
    std::vector<int16_t> out(2 * 300);
    for (float last = common_mark(rack); !stop.load();) {
      rack.render_mixed(out.data(), 300);  // calls that end inside blocks too
      const float now = common_mark(rack);
      mixed += now == 0;
      changes += now != last;
      last = now;
    }
  });
  rack_session saved;
  for (int n = 0; n < loads; ++n) {
    EXPECT_TRUE(handoff.load(sessions[n % 2])) << n;
    EXPECT_TRUE(handoff.capture(saved)) << n;
    saves_mixed += common_mark(rack, &saved) != 0.25f + 0.5f * (n % 2);
  }
  stop = true;
  renderer.join();
  EXPECT_EQ(mixed, 0);
  EXPECT_EQ(saves_mixed, 0);
  EXPECT_EQ(changes, loads);  // each load taken by exactly one block
}
