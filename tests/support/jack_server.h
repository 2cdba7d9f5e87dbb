#pragma once
// A private JACK server with its dummy backend (44100 Hz), started for a test
// under a name of its own and ended with it, so that a musician's running
// server is neither used nor touched. Clients find it through
// JACK_DEFAULT_SERVER (environment()).
//
//   zem_test::jack_server jack(256);
//   ASSERT_TRUE(jack.wait_until_running());
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
    pid_ = fork();
    if (pid_ == 0) {
      const int null = open("/dev/null", O_WRONLY);
      dup2(null, STDOUT_FILENO);
      dup2(null, STDERR_FILENO);
      execlp("jackd", "jackd", "-n", name_.c_str(), "-d", "dummy", "-r", "44100", "-p",
             frames.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
  }
  ~jack_server() {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  jack_server(const jack_server&) = delete;
  jack_server& operator=(const jack_server&) = delete;

  // What jack_lsp -c says: every port, each followed by its connections.
  std::string ports() const {
    std::string out;
    FILE* pipe = popen(("jack_lsp -s " + name_ + " -c 2>/dev/null").c_str(), "r");
    if (pipe == nullptr) return out;
    char buffer[4096];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    pclose(pipe);
    return out;
  }
  // Waits (at most 60 s) until the server offers its playback ports.
  bool wait_until_running() const {
    for (int i = 0; i < 600; ++i) {
      if (ports().find("system:playback_1") != std::string::npos) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
  }
  const std::string& name() const { return name_; }
  std::string environment() const { return "JACK_DEFAULT_SERVER=" + name_; }

 private:
  std::string name_;
  pid_t pid_ = -1;
};

}  // namespace zem_test
