#include "state_handoff.h"

#include <thread>

#include "pattern_image.h"

namespace {
void run(INSTRUMENT& instrument, state_transfer& transfer) {
  if (transfer.kind == state_transfer::direction::load)
    apply_image(instrument, transfer.image);
  else
    encode_image(instrument, transfer.image);
}
}  // namespace

void run_staged_transfer(INSTRUMENT& instrument) {
  // The usual case, nothing staged, costs one relaxed load.
  if (instrument.staged_transfer.load(std::memory_order_relaxed) == nullptr) return;
  // Taking the pointer with an exchange makes the take-over and a withdrawal
  // by the main thread exclude each other.
  state_transfer* transfer =
      instrument.staged_transfer.exchange(nullptr, std::memory_order_acquire);
  if (transfer == nullptr) return;
  run(instrument, *transfer);
  instrument.finished_transfers.fetch_add(1, std::memory_order_release);
}

bool transfer_between_blocks(INSTRUMENT& instrument, state_transfer& transfer,
                             std::chrono::milliseconds wait) {
  if (instrument.stream_handle == nullptr) {
    run(instrument, transfer);
    return true;
  }
  const uint32_t finished = instrument.finished_transfers.load(std::memory_order_acquire);
  instrument.staged_transfer.store(&transfer, std::memory_order_release);
  const auto has_run = [&] {
    return instrument.finished_transfers.load(std::memory_order_acquire) != finished;
  };
  const auto deadline = std::chrono::steady_clock::now() + wait;
  while (!has_run() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  if (has_run()) return true;
  state_transfer* staged = &transfer;
  if (instrument.staged_transfer.compare_exchange_strong(staged, nullptr,
                                                         std::memory_order_acq_rel))
    return false;  // withdrawn before any render took it
  // A render took it just now and is running it: it finishes within its block.
  while (!has_run()) std::this_thread::yield();
  return true;
}
