#include "jack_output.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "callback_timing.h"
#include "fsound.h"
#include "stream_mixer.h"

namespace {
std::array<jack_process_hook*, jack_process_hook_capacity> added_hooks{};

// libjack reports on standard error when no server runs, which is a normal
// answer here: the driver list is then empty.
void quiet(const char*) {}

jack_client_t* open_zem_client() {
  jack_set_error_function(quiet);
  jack_set_info_function(quiet);
  jack_status_t status{};
  return jack_client_open("zem", JackNoStartServer, &status);
}

// The physical playback ports of the server, in its order.
std::vector<std::string> physical_playback_ports(jack_client_t* client) {
  std::vector<std::string> names;
  const char** ports = jack_get_ports(client, nullptr, JACK_DEFAULT_AUDIO_TYPE,
                                      JackPortIsPhysical | JackPortIsInput);
  if (ports == nullptr) return names;
  for (const char** port = ports; *port != nullptr; ++port) names.emplace_back(*port);
  jack_free(ports);
  return names;
}

std::string client_of(const std::string& port) {
  return port.substr(0, port.find(':'));
}

// Samples go to JACK as floats on the same scale as PortAudio's conversion.
constexpr float float_per_sample = 1.0f / 32768.0f;
}  // namespace

bool add_jack_process_hook(jack_process_hook* hook) {
  const auto free_place = std::find(added_hooks.begin(), added_hooks.end(), nullptr);
  if (free_place == added_hooks.end()) return false;
  *free_place = hook;
  return true;
}

void remove_jack_process_hook(jack_process_hook* hook) {
  std::replace(added_hooks.begin(), added_hooks.end(), hook,
               static_cast<jack_process_hook*>(nullptr));
}

jack_process_hook* jack_process_hook_at(int place) {
  return place >= 0 && place < jack_process_hook_capacity ? added_hooks[place] : nullptr;
}

std::vector<std::string> list_jack_playback_clients() {
  std::vector<std::string> clients;
  jack_client_t* client = open_zem_client();
  if (client == nullptr) return clients;
  for (const std::string& port : physical_playback_ports(client)) {
    const std::string owner = client_of(port);
    if (std::find(clients.begin(), clients.end(), owner) == clients.end()) clients.push_back(owner);
  }
  jack_client_close(client);
  return clients;
}

int jack_output::process(jack_nframes_t frames, void* self) {
  static_cast<jack_output*>(self)->fill_ports(frames);
  return 0;
}

// Process thread: the hooks, the mix in blocks of the mixer's size converted
// into the two ports, the hooks again. Nothing here allocates or waits.
void jack_output::fill_ports(jack_nframes_t frames) {
  const int64_t began = callback_timing::now_ns();
  const int64_t woke_after =
      int64_t{jack_frames_since_cycle_start(client_)} * 1000000000 / jack_get_sample_rate(client_);
  for (int i = 0; i < hook_count_; ++i) hooks_[i]->before_mix(frames);
  auto* left = static_cast<float*>(jack_port_get_buffer(ports_[0], frames));
  auto* right = static_cast<float*>(jack_port_get_buffer(ports_[1], frames));
  int16_t block[fsound_block_frames * 2];
  for (jack_nframes_t done = 0; done < frames;) {
    const jack_nframes_t n = std::min<jack_nframes_t>(frames - done, fsound_block_frames);
    mixer_->fill(block, n);
    for (jack_nframes_t i = 0; i < n; ++i) {
      left[done + i] = static_cast<float>(block[2 * i]) * float_per_sample;
      right[done + i] = static_cast<float>(block[2 * i + 1]) * float_per_sample;
    }
    done += n;
  }
  for (int i = 0; i < hook_count_; ++i) hooks_[i]->after_mix(frames);
  timing_->record(began, frames, woke_after);
}

int jack_output::start(stream_mixer& mixer, int rate, callback_timing& timing) {
  mixer_ = &mixer;
  timing_ = &timing;
  const int error = open_client(rate);
  if (error != FSOUND_ERR_NONE) close_client();
  return error;
}

int jack_output::open_client(int rate) {
  client_ = open_zem_client();
  if (client_ == nullptr) return FSOUND_ERR_INIT_OUTPUT;
  if (jack_get_sample_rate(client_) != static_cast<jack_nframes_t>(rate)) return FSOUND_ERR_FORMAT;
  std::vector<std::string> targets;
  for (const std::string& port : physical_playback_ports(client_))
    if (client_of(port) == playback_client_) targets.push_back(port);
  if (targets.size() < ports_.size()) return FSOUND_ERR_FORMAT;
  for (size_t i = 0; i < ports_.size(); ++i) {
    const std::string name = "out_" + std::to_string(i);
    ports_[i] =
        jack_port_register(client_, name.c_str(), JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
    if (ports_[i] == nullptr) return FSOUND_ERR_INIT_OUTPUT;
  }
  jack_set_process_callback(client_, process, this);
  jack_set_xrun_callback(
      client_,
      [](void* self) {
        static_cast<jack_output*>(self)->late_.fetch_add(1, std::memory_order_relaxed);
        return 0;
      },
      this);
  jack_on_info_shutdown(
      client_,
      [](jack_status_t, const char* reason, void* self) {
        auto* output = static_cast<jack_output*>(self);
        std::snprintf(output->shutdown_reason_, sizeof output->shutdown_reason_, "%s",
                      reason != nullptr ? reason : "");
        output->server_gone_.store(true, std::memory_order_release);
      },
      this);
  hook_count_ = 0;
  for (int place = 0; place < jack_process_hook_capacity; ++place) {
    jack_process_hook* hook = jack_process_hook_at(place);
    if (hook != nullptr && hook->client_opened(client_)) hooks_[hook_count_++] = hook;
  }
  if (jack_activate(client_) != 0) return FSOUND_ERR_INIT_OUTPUT;
  for (size_t i = 0; i < ports_.size(); ++i)
    if (jack_connect(client_, jack_port_name(ports_[i]), targets[i].c_str()) != 0)
      return FSOUND_ERR_INIT_OUTPUT;
  return FSOUND_ERR_NONE;
}

std::string jack_output::stop_reason() const {
  if (!server_gone_.load(std::memory_order_acquire)) return {};
  return std::string("the JACK server shut zem down") +
         (shutdown_reason_[0] != 0 ? std::string(" (") + shutdown_reason_ + ")" : "");
}

void jack_output::stop() {
  close_client();
}

void jack_output::close_client() {
  if (client_ == nullptr) return;
  jack_deactivate(client_);
  for (int i = 0; i < hook_count_; ++i) hooks_[i]->client_closing(client_);
  hook_count_ = 0;
  jack_client_close(client_);
  client_ = nullptr;
  ports_ = {};
}
