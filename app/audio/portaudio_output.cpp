#include "portaudio_output.h"

#include <pa_linux_alsa.h>
#include <portaudio.h>

#include "callback_timing.h"
#include "fsound.h"
#include "portaudio_devices.h"
#include "stream_mixer.h"

namespace {
int pull_callback(const void*, void* output, unsigned long frames, const PaStreamCallbackTimeInfo*,
                  PaStreamCallbackFlags status, void* self) {
  static_cast<portaudio_output*>(self)->pull(output, frames, (status & paOutputUnderflow) != 0);
  return paContinue;
}
}  // namespace

void portaudio_output::pull(void* output, unsigned long frames, bool underflow) {
  const int64_t start = callback_timing::now_ns();
  if (underflow) late_.fetch_add(1, std::memory_order_relaxed);
  mixer_->fill(static_cast<int16_t*>(output), frames);
  timing_->record(start, frames);
}

int portaudio_output::start(stream_mixer& mixer, int rate, callback_timing& timing) {
  const PaDeviceInfo* info = Pa_GetDeviceInfo(device_);
  if (info == nullptr) return FSOUND_ERR_INIT_OUTPUT;
  if (info->maxOutputChannels < 2) return FSOUND_ERR_FORMAT;
  mixer_ = &mixer;
  timing_ = &timing;
  PaStreamParameters parameters{};
  parameters.device = device_;
  parameters.channelCount = 2;
  parameters.sampleFormat = paInt16;
  parameters.suggestedLatency = info->defaultLowOutputLatency;
  quiet_stderr quiet;
  PaStream* stream = nullptr;
  // PortAudio chooses its buffer size for the latency; the mixer hands out
  // its blocks in whatever pieces the buffers ask for.
  PaError error = Pa_OpenStream(&stream, nullptr, &parameters, rate, paFramesPerBufferUnspecified,
                                paNoFlag, pull_callback, this);
  if (error != paNoError) return error_code_for(error);
  // Real-time scheduling keeps the callback on time when the machine is busy;
  // without the privilege PortAudio keeps the normal policy.
  const PaHostApiInfo* api = Pa_GetHostApiInfo(info->hostApi);
  if (api != nullptr && api->type == paALSA) PaAlsa_EnableRealtimeScheduling(stream, 1);
  error = Pa_StartStream(stream);
  if (error != paNoError) {
    Pa_CloseStream(stream);
    return error_code_for(error);
  }
  stream_ = stream;
  return FSOUND_ERR_NONE;
}

void portaudio_output::stop() {
  if (stream_ == nullptr) return;
  quiet_stderr quiet;
  Pa_AbortStream(stream_);
  Pa_CloseStream(stream_);
  stream_ = nullptr;
}
