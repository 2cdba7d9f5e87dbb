#pragma once
// Work that must happen for the whole rack at one frame: a tempo change that
// all five instruments take at once, a session loaded into all five between
// two blocks, a recording or a clock that follows the mix. Whatever renders
// the rack (the audio layer live, engine_rack offline) renders it in blocks
// of `rack_block_frames` frames and calls its listeners around each block, on
// the rendering thread, so the live program and zem-render make the same
// decisions at the same frames.
#include <array>
#include <atomic>
#include <cstdint>

// Frames of one rack block, live and offline alike (2.9 ms at 44100 Hz).
constexpr int rack_block_frames = 128;

class rack_block_listener {
 public:
  virtual ~rack_block_listener() = default;
  // Before any instrument renders the block whose first frame is
  // `first_frame`, counted from the start of the rendering.
  virtual void before_block(uint64_t first_frame, int frames) = 0;
  // After frames first_frame .. first_frame + frames - 1 are mixed: `mixed`
  // holds their 2 * frames samples, which the listener may read or change (a
  // fade). Live, that is always the whole block; offline, a render that ends
  // inside a block hands over the frames rendered so far, and the rest of
  // the block follows with the next render.
  virtual void after_block(uint64_t first_frame, int16_t* mixed, int frames) = 0;
};

// The listeners of one renderer, in the order they were added. They run on
// the rendering thread and must neither allocate nor wait. Add and remove
// them on the main thread while the renderer is not running (before the
// streams start, after they stop); a listener that must come and go while
// the rack plays stays added and switches itself on and off.
class block_listener_list {
 public:
  static constexpr int capacity = 8;

  // False when the list is full.
  bool add(rack_block_listener* listener);
  void remove(rack_block_listener* listener);

  void before_block(uint64_t first_frame, int frames);
  void after_block(uint64_t first_frame, int16_t* mixed, int frames);

 private:
  std::array<std::atomic<rack_block_listener*>, capacity> slots_{};
};
