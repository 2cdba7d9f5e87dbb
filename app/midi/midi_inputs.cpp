#include "midi_inputs.h"

#include <algorithm>
#include <vector>

namespace {
std::vector<midi_ring*> rings;
// The ring that the next turn starts with, so that each gets its share.
std::size_t next_ring = 0;
}  // namespace

void register_midi_input(midi_ring& ring) {
  if (std::find(rings.begin(), rings.end(), &ring) == rings.end()) rings.push_back(&ring);
}

void unregister_midi_input(midi_ring& ring) {
  std::erase(rings, &ring);
}

int32_t drain_midi_inputs(int32_t limit, void (*handle)(const midi_message& message)) {
  int32_t taken = 0;
  bool any = true;
  while (taken < limit && any && !rings.empty()) {
    any = false;
    for (std::size_t i = 0; i < rings.size() && taken < limit; ++i) {
      midi_ring& ring = *rings[(next_ring + i) % rings.size()];
      midi_message message;
      if (!ring.pop(message)) continue;
      handle(message);
      ++taken;
      any = true;
    }
  }
  if (!rings.empty()) next_ring = (next_ring + 1) % rings.size();
  return taken;
}
