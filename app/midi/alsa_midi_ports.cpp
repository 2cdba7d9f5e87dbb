#include "alsa_midi_ports.h"

#include <RtMidi.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <span>
#include <vector>

#include "fsound.h"
#include "midi_input_routing.h"
#include "midi_inputs.h"
#include "rack_control.h"

namespace {
void on_input(double, std::vector<unsigned char>* message, void* self) {
  if (message != nullptr)
    static_cast<alsa_midi_ports*>(self)->take(message->data(), message->size());
}

// RtMidi and ALSA print their errors on standard error before RtMidi throws
// them; the reason reaches the user in our own one line instead.
class quiet_standard_error {
 public:
  quiet_standard_error() : saved_(dup(STDERR_FILENO)) {
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null >= 0) dup2(null, STDERR_FILENO), ::close(null);
  }
  ~quiet_standard_error() {
    if (saved_ >= 0) dup2(saved_, STDERR_FILENO), ::close(saved_);
  }

 private:
  int saved_;
};

// "MidiInAlsa::initialize: error creating ... object." -> "error creating ... object"
std::string reason_of(const RtMidiError& error) {
  std::string text = error.getMessage();
  if (const size_t colon = text.find(": "); colon != std::string::npos) text.erase(0, colon + 2);
  while (!text.empty() && (text.back() == '.' || text.back() == '\n')) text.pop_back();
  return text;
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
  const quiet_standard_error quiet;
  try {
    in_ = std::make_unique<RtMidiIn>(RtMidi::LINUX_ALSA, "zem");
    in_->ignoreTypes(true, false, true);  // the clock's messages are wanted
    in_->setCallback(on_input, this);
    in_->openVirtualPort("midi_in");
    out_ = std::make_unique<RtMidiOut>(RtMidi::LINUX_ALSA, "zem");
    out_->openVirtualPort("midi_out");
  } catch (const RtMidiError& error) {
    reason = "the ALSA sequencer cannot be opened (" + reason_of(error) + ")";
    in_.reset();
    out_.reset();
    return false;
  }
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
  // The Stop owed at the end; pulses not yet due are not owed.
  clock_out_event event;
  while (clock_out_.take_before(UINT64_MAX, event))
    if (event.byte != midi_clock_byte) out_->sendMessage(&event.byte, 1);
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
