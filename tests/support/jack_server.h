#pragma once
// A private JACK server (dummy backend, 44100 Hz) under a name of its own,
// ended with the test: a musician's server is neither used nor touched.
// Clients find it through JACK_DEFAULT_SERVER (environment()).
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

namespace zem_test {

class jack_server {
 public:
  explicit jack_server(int period = 256) : name_("zem-test-" + std::to_string(getpid())) {
    const std::string frames = std::to_string(period);
    if ((pid_ = fork()) != 0) return;
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    execlp("jackd", "jackd", "-n", name_.c_str(), "-d", "dummy", "-r", "44100", "-p",
           frames.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  ~jack_server() {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  // jack_lsp -c: every port, each followed by its connections.
  std::string ports() const {
    std::string out(1 << 16, '\0');
    FILE* pipe = popen(("jack_lsp -s " + name_ + " -c 2>/dev/null").c_str(), "r");
    out.resize(pipe != nullptr ? std::fread(out.data(), 1, out.size(), pipe) : 0);
    if (pipe != nullptr) pclose(pipe);
    return out;
  }
  // Waits (at most 60 s) until the server offers its playback ports.
  bool wait_until_running() const {
    for (int i = 0; i < 600; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(100)))
      if (ports().find("system:playback_1") != std::string::npos) return true;
    return false;
  }
  const std::string& name() const { return name_; }
  std::string environment() const { return "JACK_DEFAULT_SERVER=" + name_; }

 private:
  std::string name_;
  pid_t pid_ = -1;
};

}  // namespace zem_test
