#include "session_handoff.h"

#include "block_handoff.h"
#include "session_rack_settings.h"

session_handoff::session_handoff(session_rack rack) : rack_(rack) {}

bool session_handoff::load(const rack_session& session, std::chrono::milliseconds wait) {
  transfer work{&session, nullptr};
  return hand_over(work, wait);
}

void session_handoff::capture(rack_session& session, std::chrono::milliseconds wait) {
  size_session_for(rack_, session);
  transfer work{nullptr, &session};
  if (!hand_over(work, wait)) run(work);
}

bool session_handoff::hand_over(transfer& work, std::chrono::milliseconds wait) {
  bool rendering = false;
  for (INSTRUMENT* member : rack_) rendering = rendering || member->stream_handle != nullptr;
  if (!rendering) {
    run(work);
    return true;
  }
  return block_handoff::stage_and_wait(staged_, finished_, work, wait);
}

void session_handoff::run(transfer& work) {
  if (work.load_from != nullptr) {
    apply_session(*work.load_from, rack_);
    apply_rack_settings(*work.load_from, rack_);
  } else {
    capture_session(rack_, *work.capture_into);
    capture_rack_settings(rack_, *work.capture_into);
  }
}

void session_handoff::before_block(uint64_t, int) {
  block_handoff::run_staged(staged_, finished_, [this](transfer& work) { run(work); });
}
