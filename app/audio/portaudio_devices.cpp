#include "portaudio_devices.h"

#include <alsa/asoundlib.h>
#include <fcntl.h>
#include <pa_jack.h>
#include <portaudio.h>
#include <unistd.h>

#include <cstdio>

#include "fsound.h"

namespace {
bool started = false;

void ignore_alsa_error(const char*, int, const char*, int, const char*, ...) {}

PaHostApiIndex host_api_of(host_system system) {
  const auto has_outputs = [](PaHostApiIndex api) {
    if (api < 0) return false;
    const PaHostApiInfo* info = Pa_GetHostApiInfo(api);
    if (info == nullptr) return false;
    for (int i = 0; i < info->deviceCount; ++i) {
      const PaDeviceInfo* device = Pa_GetDeviceInfo(Pa_HostApiDeviceIndexToDeviceIndex(api, i));
      if (device != nullptr && device->maxOutputChannels > 0) return true;
    }
    return false;
  };
  switch (system) {
    case host_system::platform_default:
      return Pa_GetDefaultHostApi();
    case host_system::oss_else_alsa: {
      const PaHostApiIndex oss = Pa_HostApiTypeIdToHostApiIndex(paOSS);
      return has_outputs(oss) ? oss : Pa_HostApiTypeIdToHostApiIndex(paALSA);
    }
    case host_system::alsa:
      return Pa_HostApiTypeIdToHostApiIndex(paALSA);
    case host_system::oss:
      return Pa_HostApiTypeIdToHostApiIndex(paOSS);
  }
  return -1;
}
}  // namespace

quiet_stderr::quiet_stderr() {
  std::fflush(stderr);
  const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (null < 0) return;
  saved_ = dup(2);
  if (saved_ >= 0) dup2(null, 2);
  close(null);
}

quiet_stderr::~quiet_stderr() {
  if (saved_ < 0) return;
  std::fflush(stderr);
  dup2(saved_, 2);
  close(saved_);
}

bool portaudio_start() {
  if (started) return true;
  snd_lib_error_set_handler(ignore_alsa_error);
  // PortAudio's JACK host API joins a running server as a client of its own,
  // even when another system plays: it shows as zem in the patchbay too.
  PaJack_SetClientName("zem");
  quiet_stderr quiet;
  started = Pa_Initialize() == paNoError;
  return started;
}

void portaudio_end() {
  if (!started) return;
  quiet_stderr quiet;
  Pa_Terminate();
  started = false;
}

std::vector<output_device> list_output_devices(host_system system) {
  std::vector<output_device> devices;
  if (!started) return devices;
  const PaHostApiIndex api = host_api_of(system);
  const PaHostApiInfo* info = api >= 0 ? Pa_GetHostApiInfo(api) : nullptr;
  if (info == nullptr) return devices;
  const auto add = [&devices](PaDeviceIndex index) {
    const PaDeviceInfo* device = Pa_GetDeviceInfo(index);
    if (device == nullptr || device->maxOutputChannels <= 0) return;
    devices.push_back({device->name != nullptr ? device->name : "", index});
  };
  add(info->defaultOutputDevice);
  for (int i = 0; i < info->deviceCount; ++i) {
    const PaDeviceIndex index = Pa_HostApiDeviceIndexToDeviceIndex(api, i);
    if (index != info->defaultOutputDevice) add(index);
  }
  return devices;
}

int error_code_for(int portaudio_error) {
  switch (portaudio_error) {
    case paNoError:
      return FSOUND_ERR_NONE;
    case paDeviceUnavailable:
      return FSOUND_ERR_OUTPUT_BUSY;
    case paInvalidSampleRate:
    case paInvalidChannelCount:
    case paSampleFormatNotSupported:
      return FSOUND_ERR_FORMAT;
    case paInsufficientMemory:
      return FSOUND_ERR_MEMORY;
    default:
      return FSOUND_ERR_INIT_OUTPUT;
  }
}
