#pragma once
// PortAudio as the audio layer sees it: started once, quietly, and asked for
// the output devices of one of its host APIs.
#include <string>
#include <vector>

struct output_device {
  std::string name;
  int index;  // PortAudio's device index
};

// Which of PortAudio's host APIs an output system uses.
enum class host_system { platform_default, oss_else_alsa, alsa, oss };

// Starts PortAudio if it is not running yet. ALSA's and the host APIs' own
// diagnostics are kept off the console. False if PortAudio cannot start.
bool portaudio_start();
// Ends PortAudio if it was started.
void portaudio_end();

// The output devices of the system, its default device first, then the others
// in PortAudio's order. Empty when the host API is absent.
std::vector<output_device> list_output_devices(host_system system);

// The layer's error code for a PortAudio error from opening or starting a stream.
int error_code_for(int portaudio_error);

// While it lives, the standard error descriptor goes to /dev/null: PortAudio's
// host APIs print diagnostics of their own when they start and open devices.
class quiet_stderr {
 public:
  quiet_stderr();
  ~quiet_stderr();
  quiet_stderr(const quiet_stderr&) = delete;
  quiet_stderr& operator=(const quiet_stderr&) = delete;

 private:
  int saved_ = -1;
};
