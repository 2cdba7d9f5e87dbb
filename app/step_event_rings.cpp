#include "step_event_rings.h"

#include <algorithm>
#include <array>
#include <atomic>

#include "rack_members.h"
#include "spsc_ring.h"

namespace {
struct step_rings {
  std::array<int32_t, instrument_count> numbers{};
  size_t count = 0;
  std::array<spsc_ring<step_event, step_ring_capacity>, instrument_count> rings;
  std::atomic<uint64_t> strays{0};  // events of an instrument without a ring
};
step_rings rings;

// On the rendering thread. The numbers were written before the poster was
// installed, which publishes them.
void post_to_ring(const step_event& event) {
  for (size_t i = 0; i < rings.count; ++i) {
    if (rings.numbers[i] != event.instrument) continue;
    rings.rings[i].push(event);
    return;
  }
  rings.strays.fetch_add(1, std::memory_order_relaxed);
}
}  // namespace

void install_step_event_rings(std::span<INSTRUMENT* const> instruments) {
  set_step_event_poster(nullptr);
  rings.count = std::min<size_t>(instruments.size(), instrument_count);
  for (size_t i = 0; i < rings.count; ++i) rings.numbers[i] = instruments[i]->instrument_number;
  set_step_event_poster(post_to_ring);
}

bool take_step_event(size_t ring, step_event& event) {
  return ring < rings.count && rings.rings[ring].pop(event);
}

uint64_t dropped_step_events() {
  uint64_t dropped = rings.strays.load(std::memory_order_relaxed);
  for (const auto& ring : rings.rings) dropped += ring.dropped();
  return dropped;
}
