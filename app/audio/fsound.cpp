// The FSOUND calls: the state of the layer (selected output and driver, the
// opened output, the open streams, the last error) and the checks of every call.
#include "fsound.h"

#include <algorithm>
#include <array>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "audio_output.h"
#include "callback_timing.h"
#include "fsound_test.h"
#include "jack_output.h"
#include "nosound_output.h"
#include "portaudio_devices.h"
#include "portaudio_output.h"
#include "stream_mixer.h"

namespace {
struct driver_entry {
  std::string name;  // also the JACK client to play through, for kind::jack
  enum class kind { device, jack, discard, record } what;
  int device;  // PortAudio's device index, for kind::device
};

struct layer_state {
  // Declared before `output` so that it outlives it.
  stream_mixer mixer;
  callback_timing timing;  // of the output's callbacks; kept after it closes
  std::unique_ptr<audio_output> output;
  std::vector<FSOUND_STREAM*> streams;  // open streams, owned here
  int selected_output = FSOUND_OUTPUT_DIRECT_SOUND;
  bool drivers_listed = false;
  std::vector<driver_entry> drivers;
  int driver = 0;
  int mix_rate = 0;
  int channels = 0;
  uint64_t late_after_close = 0;
  int error = FSOUND_ERR_NONE;
  struct injected_failure {
    int error = FSOUND_ERR_NONE;  // none when FSOUND_ERR_NONE
    int successes_first = 0;
  };
  std::array<injected_failure, 3> injected{};  // per fsound_fault

  // When the process ends without FSOUND_Close, the output still stops before
  // the streams and the mixer go away.
  ~layer_state() { close(); }

  void close() {
    if (output) {
      output->stop();
      late_after_close = output->late_blocks();
      output.reset();
      mixer.drop_leftover();
    }
    for (FSOUND_STREAM* stream : streams) {
      mixer.detach(stream);
      delete stream;
    }
    streams.clear();
    portaudio_end();
    drivers_listed = false;  // device indices are PortAudio's, valid only while it runs
  }
};

layer_state& layer() {
  static layer_state state;
  return state;
}

template <typename T>
T fail(int code, T result) {
  layer().error = code;
  return result;
}

bool take_injected_failure(fsound_fault fault) {
  auto& injected = layer().injected[static_cast<size_t>(fault)];
  if (injected.error == FSOUND_ERR_NONE) return false;
  if (injected.successes_first > 0) {
    --injected.successes_first;
    return false;
  }
  layer().error = injected.error;
  injected.error = FSOUND_ERR_NONE;
  return true;
}

std::vector<driver_entry> portaudio_drivers(host_system system) {
  std::vector<driver_entry> drivers;
  if (!portaudio_start()) return drivers;
  for (const output_device& device : list_output_devices(system))
    drivers.push_back({device.name, driver_entry::kind::device, device.index});
  return drivers;
}

// The drivers of an output code; false for a code the layer does not know.
bool drivers_of(int output, std::vector<driver_entry>& drivers) {
  switch (output) {
    case FSOUND_OUTPUT_NOSOUND:
      drivers = {
          {"No output", driver_entry::kind::discard, -1},
          {std::string("Record to ") + fsound_recording_file, driver_entry::kind::record, -1}};
      return true;
    case FSOUND_OUTPUT_WAVEOUT:
      drivers = portaudio_drivers(host_system::oss_else_alsa);
      return true;
    case FSOUND_OUTPUT_DIRECT_SOUND:
      drivers = portaudio_drivers(host_system::platform_default);
      return true;
    case FSOUND_OUTPUT_OSS:
      drivers = portaudio_drivers(host_system::oss);
      return true;
    case FSOUND_OUTPUT_ESD:
      drivers.clear();
      return true;
    case FSOUND_OUTPUT_ALSA:
      drivers = portaudio_drivers(host_system::alsa);
      return true;
    case FSOUND_OUTPUT_ASIO:
      // zem's own JACK client, named "zem" in the patchbay; PortAudio is not
      // started for it.
      drivers.clear();
      for (const std::string& client : list_jack_playback_clients())
        drivers.push_back({client, driver_entry::kind::jack, -1});
      return true;
    default:
      return false;
  }
}

const std::vector<driver_entry>& drivers() {
  layer_state& s = layer();
  if (!s.drivers_listed) {
    drivers_of(s.selected_output, s.drivers);
    s.drivers_listed = true;
  }
  return s.drivers;
}

std::unique_ptr<audio_output> make_output(const driver_entry& driver) {
  switch (driver.what) {
    case driver_entry::kind::device:
      return std::make_unique<portaudio_output>(driver.device);
    case driver_entry::kind::jack:
      return std::make_unique<jack_output>(driver.name);
    case driver_entry::kind::discard:
      return std::make_unique<nosound_output>("");
    case driver_entry::kind::record:
      return std::make_unique<nosound_output>(fsound_recording_file);
  }
  return nullptr;
}

bool is_open(FSOUND_STREAM* stream) {
  const auto& streams = layer().streams;
  return stream != nullptr && std::find(streams.begin(), streams.end(), stream) != streams.end();
}
}  // namespace

float FSOUND_GetVersion() {
  return 3.74f;
}

signed char FSOUND_SetOutput(int output) {
  layer_state& s = layer();
  if (s.output) return fail(FSOUND_ERR_AFTER_INIT, 0);
  std::vector<driver_entry> listed;
  if (!drivers_of(output, listed)) return fail(FSOUND_ERR_INVALID_PARAM, 0);
  s.selected_output = output;
  s.drivers = std::move(listed);
  s.drivers_listed = true;
  s.driver = 0;
  return 1;
}

int FSOUND_GetOutput() {
  return layer().selected_output;
}

int FSOUND_GetNumDrivers() {
  return static_cast<int>(drivers().size());
}

const char* FSOUND_GetDriverName(int driver) {
  const auto& list = drivers();
  if (driver < 0 || driver >= static_cast<int>(list.size()))
    return fail<const char*>(FSOUND_ERR_INVALID_PARAM, nullptr);
  return list[static_cast<size_t>(driver)].name.c_str();
}

signed char FSOUND_SetDriver(int driver) {
  layer_state& s = layer();
  if (s.output) return fail(FSOUND_ERR_AFTER_INIT, 0);
  if (driver < 0 || driver >= static_cast<int>(drivers().size()))
    return fail(FSOUND_ERR_INVALID_PARAM, 0);
  s.driver = driver;
  return 1;
}

signed char FSOUND_Init(int mix_rate, int channels, unsigned int) {
  layer_state& s = layer();
  if (s.output) return fail(FSOUND_ERR_AFTER_INIT, 0);
  if (take_injected_failure(fsound_fault::init)) return 0;
  if (mix_rate < 8000 || mix_rate > 192000 || channels < 1 || channels > stream_mixer::max_channels)
    return fail(FSOUND_ERR_INVALID_PARAM, 0);
  const auto& list = drivers();
  if (s.driver >= static_cast<int>(list.size())) return fail(FSOUND_ERR_INIT_OUTPUT, 0);
  std::unique_ptr<audio_output> output = make_output(list[static_cast<size_t>(s.driver)]);
  s.timing.reset(mix_rate);
  const int error = output->start(s.mixer, mix_rate, s.timing);
  if (error != FSOUND_ERR_NONE) return fail(error, 0);
  s.output = std::move(output);
  s.mix_rate = mix_rate;
  s.channels = channels;
  return 1;
}

int FSOUND_GetError() {
  return layer().error;
}

FSOUND_STREAM* FSOUND_Stream_Create(FSOUND_STREAMCALLBACK callback, int length, unsigned int mode,
                                    int rate, void* user) {
  layer_state& s = layer();
  if (!s.output) return fail<FSOUND_STREAM*>(FSOUND_ERR_NOT_INITIALISED, nullptr);
  if (take_injected_failure(fsound_fault::stream_create)) return nullptr;
  const unsigned int format = FSOUND_16BITS | FSOUND_STEREO | FSOUND_SIGNED;
  if (callback == nullptr || length <= 0 || (mode & format) != format || rate != s.mix_rate)
    return fail<FSOUND_STREAM*>(FSOUND_ERR_INVALID_PARAM, nullptr);
  auto* stream = new (std::nothrow) FSOUND_STREAM;
  if (stream == nullptr) return fail<FSOUND_STREAM*>(FSOUND_ERR_MEMORY, nullptr);
  stream->callback = callback;
  stream->user = user;
  s.streams.push_back(stream);
  return stream;
}

int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream) {
  layer_state& s = layer();
  if (!s.output) return fail(FSOUND_ERR_NOT_INITIALISED, -1);
  if (take_injected_failure(fsound_fault::stream_play)) return -1;
  if (!is_open(stream) || channel < 0 || channel >= s.channels)
    return fail(FSOUND_ERR_INVALID_PARAM, -1);
  if (stream->channel == channel) return channel;  // already playing there
  if (stream->channel >= 0 || s.mixer.channel_taken(channel))
    return fail(FSOUND_ERR_CHANNEL_ALLOC, -1);
  s.mixer.attach(channel, stream);
  return channel;
}

signed char FSOUND_Stream_Close(FSOUND_STREAM* stream) {
  layer_state& s = layer();
  if (!is_open(stream)) return fail(FSOUND_ERR_INVALID_PARAM, 0);
  s.mixer.detach(stream);
  s.streams.erase(std::find(s.streams.begin(), s.streams.end(), stream));
  delete stream;
  return 1;
}

void FSOUND_Close() {
  layer().close();
}

uint64_t fsound_late_blocks() {
  const layer_state& s = layer();
  return s.output ? s.output->late_blocks() : s.late_after_close;
}

std::string fsound_recording_failure() {
  const layer_state& s = layer();
  return s.output ? s.output->recording_failure() : std::string();
}

std::string fsound_output_stop_reason() {
  const layer_state& s = layer();
  return s.output ? s.output->stop_reason() : std::string();
}

const callback_timing& fsound_callback_timing() {
  return layer().timing;
}

void fsound_hold_streams() {
  layer().mixer.hold();
}

void fsound_release_streams() {
  layer().mixer.release();
}

uint64_t fsound_next_rack_frame() {
  return layer().mixer.next_rack_frame();
}

uint64_t fsound_rack_frame_estimate() {
  return layer().mixer.rack_frame_estimate();
}

block_listener_list& fsound_block_listeners() {
  return layer().mixer.listeners();
}

void fsound_test_fail_next(fsound_fault fault, int error_code, int successes_first) {
  layer().injected[static_cast<size_t>(fault)] = {error_code, successes_first};
}
