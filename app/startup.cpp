#include "startup.h"

#include <cstdio>
#include <cstdlib>

#include "callback_timing.h"
#include "console_keys.h"
#include "fsound.h"
#include "init_sound.h"
#include "rack_control.h"
#include "step_event_rings.h"
#include "stream_callback.h"

std::array<INSTRUMENT*, instrument_count> instrument_list{};
std::array<void*, instrument_count> stream_user_values{};

namespace {
constexpr int stream_buffer_bytes = 65536;
constexpr unsigned int stream_mode =
    FSOUND_16BITS | FSOUND_STEREO | FSOUND_SIGNED | FSOUND_MODE_BIT_24;  // 0x1000150

// A measuring run (bench/) names a file in ZEM_AUDIO_TIMING: it gets the
// histogram of the output callbacks' durations.
void write_callback_timing() {
  const char* path = std::getenv("ZEM_AUDIO_TIMING");
  if (path == nullptr || *path == 0) return;
  std::FILE* out = std::fopen(path, "w");
  if (out == nullptr) return;
  fsound_callback_timing().write_report(out);
  std::fclose(out);
}

[[noreturn]] void fail_with_audio_error(int exit_code) {
  std::printf("Error!\n");
  std::printf("%s\n", error_text(static_cast<unsigned int>(FSOUND_GetError())));
  std::exit(exit_code);
}
}  // namespace

void print_banner() {
  std::printf("ZEM_ENGINE V4.0\n");
  std::printf("---------------\n\n");
  std::printf("Init Sound\n");
}

void start_sound() {
  if (init_sound() == 0) {
    std::printf("Erreur d'initialisatio du son\n");
    std::exit(-1);
  }
}

void build_instruments() {
  // Instrument numbers follow the construction order, the order of the rows.
  for (const rack_member& member : rack_members)
    instrument_list[member.list_index] = make_instrument(member.kind).release();
  for (int i = 0; i < instrument_count; ++i) stream_user_values[i] = instrument_list[i];
}

void create_streams() {
  for (int i = 0; i < instrument_count; ++i) {
    FSOUND_STREAM* stream = FSOUND_Stream_Create(stream_callback, stream_buffer_bytes, stream_mode,
                                                 sample_rate, stream_user_values[i]);
    if (stream == nullptr) fail_with_audio_error(1);
    instrument_list[i]->stream_handle = stream;
  }
}

void start_streams() {
  // All five begin in the same block, so their steps fall on the same frames.
  fsound_hold_streams();
  for (int channel = 0; channel < instrument_count; ++channel) {
    const int index = stream_start_order[channel];
    auto* stream = static_cast<FSOUND_STREAM*>(instrument_list[index]->stream_handle);
    if (FSOUND_Stream_Play(channel, stream) == -1) {
      // Those already started play on while the program ends, as they did.
      fsound_release_streams();
      fail_with_audio_error(1);
    }
  }
  fsound_release_streams();
}

void shut_down() {
  for (INSTRUMENT* instrument : instrument_list) {
    if (instrument == nullptr || instrument->stream_handle == nullptr) continue;
    FSOUND_Stream_Close(static_cast<FSOUND_STREAM*>(instrument->stream_handle));
    instrument->stream_handle = nullptr;
  }
  FSOUND_Close();
  end_rack_clock();
  write_callback_timing();
  if (const uint64_t dropped = dropped_step_events(); dropped != 0)
    std::printf("Step events dropped: %llu\n", static_cast<unsigned long long>(dropped));
  std::printf("Late audio blocks: %llu\n", static_cast<unsigned long long>(fsound_late_blocks()));
  std::fflush(stdout);
  restore_console();
}
