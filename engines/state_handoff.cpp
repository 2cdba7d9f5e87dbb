#include "state_handoff.h"

#include "block_handoff.h"
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
  block_handoff::run_staged(instrument.staged_transfer, instrument.finished_transfers,
                            [&](state_transfer& transfer) { run(instrument, transfer); });
}

bool transfer_between_blocks(INSTRUMENT& instrument, state_transfer& transfer,
                             std::chrono::milliseconds wait) {
  if (instrument.stream_handle == nullptr) {
    run(instrument, transfer);
    return true;
  }
  return block_handoff::stage_and_wait(instrument.staged_transfer, instrument.finished_transfers,
                                       transfer, wait);
}
