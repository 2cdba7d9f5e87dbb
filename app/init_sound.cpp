#include "init_sound.h"

#include <cstdio>
#include <cstdlib>
#include <iterator>

#include "console_keys.h"
#include "fsound.h"
#include "instrument.h"

namespace {
constexpr const char* dash_line = "---------------------------------------------------------\n";
constexpr const char* press_line = "Press a corresponding number or ESC to quit\n";
constexpr float required_version = 3.74f;

// Reads keys until `select` accepts one and returns its choice. ESC and the end
// of input end the process with code 0; a termination signal ends it as the
// signal would.
template <typename Select>
int choose(Select select) {
  for (;;) {
    const int key = read_key();
    if (key == key_quit) end_by_quit_signal();
    if (key == key_escape || key == key_end) std::exit(0);
    const int choice = select(key);
    if (choice >= 0) return choice;
  }
}

void print_output_menu() {
  std::printf("%s", dash_line);
  std::printf("Output Type\n");
  std::printf("%s", dash_line);
  std::printf("1 - Direct Sound\n");
  std::printf("2 - Windows Multimedia Waveout\n");
  std::printf("3 - ASIO\n");
  std::printf("4 - NoSound\n");
  std::printf("%s", dash_line);
  std::printf("%s", press_line);
}

void print_driver_menu() {
  std::printf("%s", dash_line);
  std::printf("%s", output_name(FSOUND_GetOutput()));
  std::printf(" Driver list\n");
  std::printf("%s", dash_line);
  for (int i = 0; i < FSOUND_GetNumDrivers(); ++i) {
    const char* name = FSOUND_GetDriverName(i);
    std::printf("%d - %s\n", i + 1, name != nullptr ? name : "");
  }
  std::printf("%s", dash_line);
  std::printf("%s", press_line);
}
}  // namespace

const char* error_text(unsigned int code) {
  static const char* const texts[] = {
      "No errors",
      "Cannot call this command after FSOUND_Init.  Call FSOUND_Close first.",
      "This command failed because FSOUND_Init was not called",
      "Error initializing output device.",
      "The output device is already in use and cannot be reused.",
      "Playing the sound failed.",
      "Soundcard does not support the features needed for this soundsystem (16bit stereo output)",
      "Error setting cooperative level for hardware.",
      "Error creating hardware sound buffer.",
      "File not found",
      "Unknown file format",
      "Error loading file",
      "Not enough memory ",
      "The version number of this file format is not supported",
      "An invalid parameter was passed to this function",
      "Tried to use an EAX command on a non EAX enabled channel or output.",
      "Failed to allocate a new channel",
      "Recording not supported on this device",
      "Required Mediaplayer codec is not installed",
  };
  return code < std::size(texts) ? texts[code] : "Unknown error";
}

const char* output_name(int code) {
  switch (code) {
    case FSOUND_OUTPUT_NOSOUND:
      return "NoSound";
    case FSOUND_OUTPUT_WAVEOUT:
      return "Windows Multimedia Waveout";
    case FSOUND_OUTPUT_DIRECT_SOUND:
      return "Direct Sound";
    case FSOUND_OUTPUT_OSS:
      return "Open Sound System";
    case FSOUND_OUTPUT_ESD:
      return "Enlightment Sound Daemon";
    case FSOUND_OUTPUT_ALSA:
      return "Alsa";
    case FSOUND_OUTPUT_ASIO:
      return "ASIO";
    default:
      return "";
  }
}

int output_for_key(int key) {
  switch (key) {
    case '1':
      return FSOUND_OUTPUT_DIRECT_SOUND;
    case '2':
      return FSOUND_OUTPUT_WAVEOUT;
    case '3':
      return FSOUND_OUTPUT_ASIO;
    case '4':
      return FSOUND_OUTPUT_NOSOUND;
    default:
      return -1;
  }
}

int driver_for_key(int key, int driver_count) {
  const int c = static_cast<signed char>(key);
  const int driver = c - '1';
  return driver < 0 || driver >= driver_count ? -1 : driver;
}

int init_sound() {
  tempo = 133;
  if (FSOUND_GetVersion() < required_version) {
    std::printf("Error : You are using the wrong DLL version!  You should be using FMOD %.02f\n",
                static_cast<double>(required_version));
    return 0;
  }
  print_output_menu();
  FSOUND_SetOutput(choose(output_for_key));
  print_driver_menu();
  // The driver count is asked afresh at every key.
  FSOUND_SetDriver(choose([](int key) { return driver_for_key(key, FSOUND_GetNumDrivers()); }));
  if (FSOUND_Init(44100, 32, 0)) return 1;
  std::printf("Error!\n");
  std::printf("%s\n", error_text(static_cast<unsigned int>(FSOUND_GetError())));
  return 0;
}
