#pragma once
// A whole session into, or out of, the five instruments at one block
// boundary for all five at once: no block plays from a rack that is half the
// old session and half the new one, and a save never catches one member a
// block after another, so that their steps stay aligned in the file as they
// were in the sound.
//
// The handoff is one of the renderer's block listeners. The staging thread
// puts the transfer in its one atomic pointer, the renderer runs it in
// before_block, before any member renders the block, and the staging thread
// waits for it, or withdraws it when no block comes (block_handoff.h).
// Without a renderer (before the streams start, zem-render, tests) the
// transfer runs at once.
#include <atomic>
#include <chrono>
#include <cstdint>

#include "block_listener.h"
#include "session_image.h"

class session_handoff : public rack_block_listener {
 public:
  // How long a transfer waits for a playing rack's next block.
  static constexpr std::chrono::milliseconds default_wait{2000};

  // `rack`: the members by instrument number. Add the handoff to the
  // renderer's listeners before it starts.
  explicit session_handoff(session_rack rack);

  // Staging thread, one at a time. The rack counts as rendering when any
  // member has a stream.
  //
  // Applies an accepted session (decode_session or session_refusal passed
  // for this rack) to every member, images and LFO settings, and its
  // rack-wide settings to the rack (session_rack_settings.h). False when the
  // rack renders no block within `wait`: it is then as it was.
  bool load(const rack_session& session, std::chrono::milliseconds wait = default_wait);
  // Captures every member's image and LFO settings, and the rack-wide
  // settings, into `session`, whose buffers are sized here first, so that
  // the rendering side allocates nothing. When the rack renders no block
  // within `wait` (an output that has stalled), the state is taken as it
  // stands, since nothing moves it then: a save never fails for that.
  void capture(rack_session& session, std::chrono::milliseconds wait = default_wait);

  void before_block(uint64_t first_frame, int frames) override;
  void after_block(uint64_t, int16_t*, int) override {}

 private:
  struct transfer {
    const rack_session* load_from = nullptr;  // exactly one of the two
    rack_session* capture_into = nullptr;
  };
  bool hand_over(transfer& work, std::chrono::milliseconds wait);
  void run(transfer& work);

  session_rack rack_;
  std::atomic<transfer*> staged_{nullptr};
  std::atomic<uint32_t> finished_{0};
};
