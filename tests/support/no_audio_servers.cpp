// Every test program starts with no audio server in reach (a musician's own
// JACK or PulseAudio is never touched): these names belong to no server, and
// neither library may start one. A test with a server of its own passes its
// name to its clients. Linked as an object library, like the leak hook.
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
