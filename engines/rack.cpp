#include "rack.h"

#include <algorithm>
#include <stdexcept>

#include "engine_dispatch.h"
#include "mixer.h"

engine_rack::engine_rack() {
  // One member at a time, in the order of the rows: the order sets the numbers.
  for (int row = 0; row < instrument_count; ++row) {
    members_[row] = make_instrument(rack_members[row].kind);
    order_[row] = members_[row].get();
  }
  for (auto& block : blocks_) block.assign(2 * block_frames, 0);
}

INSTRUMENT* engine_rack::find_by_number(int32_t number) const {
  for (INSTRUMENT* instrument : order_)
    if (instrument->instrument_number == number) return instrument;
  return nullptr;
}

INSTRUMENT& engine_rack::nth_of_kind(instrument_kind kind, int skipped) {
  for (int row = 0; row < instrument_count; ++row) {
    if (rack_members[row].kind == kind && skipped-- == 0) return *order_[row];
  }
  throw std::out_of_range("the rack holds no such member");
}

void engine_rack::render_mixed(int16_t* out, int64_t frames) {
  const int16_t* streams[instrument_count];
  for (int s = 0; s < instrument_count; ++s) streams[s] = blocks_[s].data();
  while (frames > 0) {
    const int into_block = static_cast<int>(next_frame_ % block_frames);
    if (into_block == 0) listeners_.before_block(next_frame_, block_frames);
    const int chunk = static_cast<int>(std::min<int64_t>(frames, block_frames - into_block));
    for (int s = 0; s < instrument_count; ++s)
      render_instrument(*order_[s], nullptr, blocks_[s].data(), chunk * 4, nullptr);
    mix_saturating(streams, instrument_count, out, 2 * static_cast<size_t>(chunk));
    listeners_.after_block(next_frame_, out, chunk);
    next_frame_ += static_cast<uint64_t>(chunk);
    out += 2 * chunk;
    frames -= chunk;
  }
}
