#pragma once
// Loads and saves of a pattern file happen between two render blocks, never in
// the middle of one: the audio thread must not play from a pattern memory
// that is half old and half new, nor may a save catch the sequencer half way
// through a step boundary.
//
// The main thread stages the transfer, with an image buffer it owns, in the
// instrument's one atomic pointer `staged_transfer`. The next render takes it
// over before its first frame, runs it (applies the image, or writes the
// state into it) without allocating or locking, and counts it in
// `finished_transfers`; the main thread waits for that count and only then
// reuses or frees the buffer (block_handoff.h).
#include <chrono>
#include <cstdint>
#include <span>

#include "instrument.h"

struct state_transfer {
  enum class direction { load, save };
  direction kind;
  // load: an image already accepted by image_refusal; save: receives the image.
  std::span<unsigned char> image;
};

// How long a transfer waits for a playing stream's next block.
constexpr std::chrono::milliseconds transfer_wait{2000};

// Main thread. Without a stream (`stream_handle` empty: zem-render, tests)
// the transfer runs at once. With one, it is staged for the next render block
// and this waits until it has run. If no block is rendered within `wait` (a
// stream that does not play), the transfer is withdrawn and false returned:
// the instrument, or the image, is then as it was.
bool transfer_between_blocks(INSTRUMENT& instrument, state_transfer& transfer,
                             std::chrono::milliseconds wait = transfer_wait);

// Audio thread, at the start of every render: runs a staged transfer, if any.
void run_staged_transfer(INSTRUMENT& instrument);
