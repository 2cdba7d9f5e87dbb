// Every test program starts with no audio server in reach: a JACK or
// PulseAudio server that runs on the machine (a musician's own) is never
// touched, and a test that expects no server finds none. The names below
// belong to no server, and neither library may start one. A test that starts
// a server of its own passes its name or socket to its clients: to the
// programs it starts, or to itself with setenv. Compiled into each test
// program directly (an object library), like the leak-suppression hook.
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace {

const bool no_audio_servers = [] {
  const std::string none = "zem-test-none-" + std::to_string(getpid());
  setenv("JACK_DEFAULT_SERVER", none.c_str(), 1);
  setenv("JACK_NO_START_SERVER", "1", 1);
  setenv("PULSE_SERVER", ("unix:/nonexistent/" + none).c_str(), 1);
  return true;
}();

}  // namespace
