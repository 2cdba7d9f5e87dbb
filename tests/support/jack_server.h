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
  explicit jack_server(int period = 256) {
    // JACK keeps a server's name in a registry of eight places that only a
    // server of the same name takes back after a crash: the names come from a
    // small set of our own, and a name that a running server holds is passed.
    for (int n = 0; n < 8 && pid_ < 0; ++n) {
      name_ = "zem-test-jack-" + std::to_string(n);
      if (!ports().empty()) continue;
      pid_ = start(name_, period);
      if (!wait_until_running()) stop();
    }
  }
  ~jack_server() { stop(); }
  // jack_lsp -c: every port, each followed by its connections.
  std::string ports() const {
    std::string out(1 << 16, '\0');
    FILE* pipe = popen(("jack_lsp -s " + name_ + " -c 2>/dev/null").c_str(), "r");
    out.resize(pipe != nullptr ? std::fread(out.data(), 1, out.size(), pipe) : 0);
    if (pipe != nullptr) pclose(pipe);
    return out;
  }
  // Waits (at most 60 s) until the server offers its playback ports; false
  // at once when it has ended.
  bool wait_until_running() const {
    for (int i = 0; i < 600 && pid_ > 0; ++i) {
      if (ports().find("system:playback_1") != std::string::npos) return true;
      if (!ended_ && waitpid(pid_, nullptr, WNOHANG) == pid_) ended_ = true;
      if (ended_) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
  }
  const std::string& name() const { return name_; }
  std::string environment() const { return "JACK_DEFAULT_SERVER=" + name_; }

 private:
  static pid_t start(const std::string& name, int period) {
    const std::string frames = std::to_string(period);
    const pid_t pid = fork();
    if (pid != 0) return pid;
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    execlp("jackd", "jackd", "-n", name.c_str(), "-d", "dummy", "-r", "44100", "-p", frames.c_str(),
           static_cast<char*>(nullptr));
    _exit(127);
  }
  void stop() {
    if (pid_ <= 0) return;
    if (!ended_) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
    pid_ = -1;
    ended_ = false;
  }

  std::string name_;
  pid_t pid_ = -1;
  mutable bool ended_ = false;  // reaped by wait_until_running
};

}  // namespace zem_test
