#include "jack_midi_client.h"

namespace {
// libjack reports on standard error when no server runs, which is a normal
// answer here.
void quiet(const char*) {}

jack_client_t* open_client(const char* name) {
  jack_set_error_function(quiet);
  jack_set_info_function(quiet);
  jack_status_t status{};
  return jack_client_open(name, JackNoStartServer, &status);
}
}  // namespace

int jack_midi_client::process(jack_nframes_t frames, void* self) {
  jack_process_hook* hook = static_cast<jack_midi_client*>(self)->hook_;
  hook->before_mix(frames);
  hook->after_mix(frames);
  return 0;
}

bool jack_midi_client::open(jack_process_hook& hook, std::string& reason) {
  client_ = open_client("zem-midi");
  if (client_ == nullptr) {
    reason = "no JACK server runs";
    return false;
  }
  if (!hook.client_opened(client_)) {
    reason = "the JACK MIDI ports could not be made";
    jack_client_close(client_);
    client_ = nullptr;
    return false;
  }
  hook_ = &hook;
  jack_set_process_callback(client_, process, this);
  if (jack_activate(client_) != 0) {
    reason = "the JACK client could not start";
    close();
    return false;
  }
  return true;
}

void jack_midi_client::close() {
  if (client_ == nullptr) return;
  jack_deactivate(client_);
  if (hook_ != nullptr) hook_->client_closing(client_);
  jack_client_close(client_);
  client_ = nullptr;
  hook_ = nullptr;
}
