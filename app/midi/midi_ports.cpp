#include "midi_ports.h"

#include <chrono>
#include <cstdio>

#include "alsa_midi_ports.h"
#include "fsound.h"
#include "jack_midi_client.h"
#include "jack_midi_ports.h"
#include "jack_transport_hook.h"
#include "rack_control.h"

namespace {
struct program_ports {
  std::string choice = "none";
  // Made once and kept for the process's life: the audio layer may close
  // zem's JACK client, and call its hooks, as late as the process's end.
  jack_midi_ports* beside_sound = nullptr;
  jack_midi_ports* own_client_ports = nullptr;
  jack_midi_client own_client;
  alsa_midi_ports* alsa = nullptr;
  std::string refusal;
};

program_ports& ports() {
  static program_ports state;
  return state;
}

bool wants(const char* system) {
  return ports().choice == "auto" || ports().choice == system;
}

bool open_own_jack_client(std::string& reason) {
  program_ports& p = ports();
  p.own_client_ports = new jack_midi_ports(jack_midi_ports::cycle_timing::own_cycle);
  if (p.own_client.open(*p.own_client_ports, reason)) return true;
  delete p.own_client_ports;
  p.own_client_ports = nullptr;
  return false;
}

bool open_alsa(std::string& reason) {
  program_ports& p = ports();
  p.alsa = new alsa_midi_ports();
  if (p.alsa->open(reason)) return true;
  delete p.alsa;
  p.alsa = nullptr;
  return false;
}

bool any_open() {
  const program_ports& p = ports();
  return (p.beside_sound != nullptr && p.beside_sound->open()) || p.own_client_ports != nullptr ||
         p.alsa != nullptr;
}
}  // namespace

void prepare_midi_ports(const std::string& choice) {
  program_ports& p = ports();
  p.choice = choice;
  // The transport is read whatever the MIDI ports, when the sound goes to JACK.
  add_jack_process_hook(new jack_transport_hook());
  if (!wants("jack")) return;
  p.beside_sound = new jack_midi_ports(jack_midi_ports::cycle_timing::with_the_mix);
  add_jack_process_hook(p.beside_sound);
}

void open_midi_ports() {
  program_ports& p = ports();
  if (p.choice == "none" || any_open()) return;
  std::string jack_reason, alsa_reason;
  if (wants("jack") && open_own_jack_client(jack_reason)) return;
  if (wants("alsa") && open_alsa(alsa_reason)) return;
  p.refusal = "No MIDI: " + (p.choice == "auto" ? jack_reason + ", and " + alsa_reason
                                                : jack_reason + alsa_reason);
  std::printf("%s\n", p.refusal.c_str());
}

void finish_midi_ports() {
  program_ports& p = ports();
  if (!any_open()) return;
  // Held, the mixer runs no block listener: the rack's clock has planned its
  // last block, and this thread may send its final Stop.
  fsound_hold_streams();
  end_rack_clock();
  constexpr auto one_cycle_or_more = std::chrono::milliseconds(500);
  if (p.beside_sound != nullptr && p.beside_sound->open())
    p.beside_sound->send_remaining(one_cycle_or_more);
  if (p.own_client_ports != nullptr) {
    p.own_client_ports->send_remaining(one_cycle_or_more);
    p.own_client.close();
  }
  if (p.alsa != nullptr) p.alsa->close();
}

const std::string& midi_ports_refusal() {
  return ports().refusal;
}
