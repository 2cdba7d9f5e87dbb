#include "alsa_midi_ports.h"

#include <RtMidi.h>
#include <alsa/asoundlib.h>

#include <chrono>
#include <span>
#include <vector>

#include "fsound.h"
#include "midi_input_routing.h"
#include "midi_inputs.h"
#include "rack_control.h"

namespace {
// ALSA reports a missing sequencer on standard error before RtMidi throws;
// the reason reaches the user in our own one line instead.
void quiet_alsa(const char*, int, const char*, int, const char*, ...) {}

void on_input(double, std::vector<unsigned char>* message, void* self) {
  if (message != nullptr)
    static_cast<alsa_midi_ports*>(self)->take(message->data(), message->size());
}

// The sender's pace: about a third of a 128-frame block.
constexpr auto send_period = std::chrono::milliseconds(1);
}  // namespace

alsa_midi_ports::alsa_midi_ports()
    : clock_in_(program_clock_input()), clock_out_(program_clock_output()) {}

alsa_midi_ports::~alsa_midi_ports() {
  close();
}

bool alsa_midi_ports::open(std::string& reason) {
  snd_lib_error_set_handler(quiet_alsa);
  try {
    in_ = std::make_unique<RtMidiIn>(RtMidi::LINUX_ALSA, "zem");
    in_->ignoreTypes(true, false, true);  // the clock's messages are wanted
    in_->setCallback(on_input, this);
    in_->openVirtualPort("midi_in");
    out_ = std::make_unique<RtMidiOut>(RtMidi::LINUX_ALSA, "zem");
    out_->openVirtualPort("midi_out");
  } catch (const RtMidiError& error) {
    reason = "the ALSA sequencer cannot be opened (" + error.getMessage() + ")";
    in_.reset();
    out_.reset();
    snd_lib_error_set_handler(nullptr);
    return false;
  }
  snd_lib_error_set_handler(nullptr);
  register_midi_input(control_);
  sending_.store(true);
  sender_ = std::thread([this] { send_clock(); });
  return true;
}

void alsa_midi_ports::close() {
  if (!in_) return;
  sending_.store(false);
  if (sender_.joinable()) sender_.join();
  in_->cancelCallback();
  unregister_midi_input(control_);
  // The Stop owed at the end, and anything else left.
  clock_out_event event;
  while (clock_out_.take_before(UINT64_MAX, event)) out_->sendMessage(&event.byte, 1);
  in_.reset();
  out_.reset();
}

void alsa_midi_ports::take(const unsigned char* bytes, size_t size) {
  route_midi_input(std::span<const uint8_t>(bytes, size), fsound_rack_frame_estimate(),
                   program_sync_source(), clock_in_, control_);
}

void alsa_midi_ports::send_clock() {
  while (sending_.load()) {
    clock_out_event event;
    while (clock_out_.take_before(fsound_rack_frame_estimate(), event))
      out_->sendMessage(&event.byte, 1);
    std::this_thread::sleep_for(send_period);
  }
}
