#include "block_listener.h"

bool block_listener_list::add(rack_block_listener* listener) {
  for (auto& slot : slots_) {
    if (slot.load(std::memory_order_relaxed) != nullptr) continue;
    // Release: a renderer that sees the pointer sees the listener built.
    slot.store(listener, std::memory_order_release);
    return true;
  }
  return false;
}

void block_listener_list::remove(rack_block_listener* listener) {
  for (auto& slot : slots_)
    if (slot.load(std::memory_order_relaxed) == listener)
      slot.store(nullptr, std::memory_order_release);
}

void block_listener_list::before_block(uint64_t first_frame, int frames) {
  for (auto& slot : slots_)
    if (rack_block_listener* listener = slot.load(std::memory_order_acquire))
      listener->before_block(first_frame, frames);
}

void block_listener_list::after_block(uint64_t first_frame, int16_t* mixed, int frames) {
  for (auto& slot : slots_)
    if (rack_block_listener* listener = slot.load(std::memory_order_acquire))
      listener->after_block(first_frame, mixed, frames);
}
