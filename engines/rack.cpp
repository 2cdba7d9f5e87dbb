#include "rack.h"

#include <algorithm>

#include "engine_dispatch.h"
#include "mixer.h"

RACK::RACK() {
  // One statement per instrument: the construction order sets the numbers.
  first_drum_ = std::make_unique<TB808>();
  first_bass_ = std::make_unique<TB303>();
  oscillators_ = std::make_unique<OSC>();
  second_bass_ = std::make_unique<TB303>();
  second_drum_ = std::make_unique<TB808>();
  order_ = {first_drum_.get(), first_bass_.get(), oscillators_.get(), second_bass_.get(),
            second_drum_.get()};
  for (auto& block : blocks_) block.assign(2 * block_frames, 0);
}

INSTRUMENT* RACK::find_by_number(int32_t number) const {
  for (INSTRUMENT* instrument : order_)
    if (instrument->instrument_number == number) return instrument;
  return nullptr;
}

void RACK::render_mixed(int16_t* out, int64_t frames) {
  const int16_t* streams[instrument_count];
  for (int s = 0; s < instrument_count; ++s) streams[s] = blocks_[s].data();
  while (frames > 0) {
    const int chunk = static_cast<int>(std::min<int64_t>(frames, block_frames));
    for (int s = 0; s < instrument_count; ++s)
      render_instrument(*order_[s], nullptr, blocks_[s].data(), chunk * 4, nullptr);
    mix_saturating(streams, instrument_count, out, 2 * static_cast<size_t>(chunk));
    out += 2 * chunk;
    frames -= chunk;
  }
}
