#pragma once
// Helpers of the application tests: temporary folders, running a function or
// the program in a child process with its output captured, reading WAV files,
// starting the audio layer's "NoSound" output.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "fsound.h"
#include "instrument.h"

namespace app_test {

// The mode word of the program's streams: 16-bit, stereo, signed, bit 24.
constexpr unsigned int stream_mode = 0x1000150;

// Initialises the layer on the "NoSound" output with the given driver (0
// discards the sound, 1 records it).
inline void start_nosound(int driver = 0) {
  ASSERT_TRUE(FSOUND_SetOutput(FSOUND_OUTPUT_NOSOUND));
  ASSERT_TRUE(FSOUND_SetDriver(driver));
  ASSERT_TRUE(FSOUND_Init(44100, 32, 0));
}

// Whether the instrument's sequencer has moved, that is its stream was pulled.
inline bool has_played(const INSTRUMENT* instrument) {
  return instrument->current_step != 0 || instrument->step_sample_counter != 0;
}

// A fresh folder, removed with its contents at the end of the scope. With
// `enter`, it is also the working directory meanwhile.
class temp_folder {
 public:
  explicit temp_folder(bool enter = false) {
    char pattern[] = "/tmp/zem-app-test-XXXXXX";
    path_ = mkdtemp(pattern);
    if (enter) {
      previous_ = std::filesystem::current_path();
      std::filesystem::current_path(path_);
    }
  }
  ~temp_folder() {
    if (!previous_.empty()) std::filesystem::current_path(previous_);
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
  std::filesystem::path previous_;
};

struct run_result {
  std::string out;
  int exit_code = -1000;  // the exit status, or -1000 when ended by a signal
  int signal = 0;         // the signal that ended it, or 0
};

// Reads `out_fd` to its end and reaps `pid`. A child still running after
// `timeout_seconds` is killed, so that a test fails instead of hanging.
inline run_result wait_for(pid_t pid, int out_fd, int timeout_seconds = 30) {
  run_result result;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout_seconds);
  bool killed = false;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          deadline - std::chrono::steady_clock::now())
                          .count();
    if (left <= 0 && !killed) {
      kill(pid, SIGKILL);
      killed = true;
    }
    pollfd ready{out_fd, POLLIN, 0};
    const int n = poll(&ready, 1, killed ? -1 : static_cast<int>(left));
    if (n == 0 || (n < 0 && errno == EINTR)) continue;
    char buffer[4096];
    const ssize_t got = n > 0 ? read(out_fd, buffer, sizeof buffer) : -1;
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    result.out.append(buffer, static_cast<size_t>(got));
  }
  close(out_fd);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(status)) result.exit_code = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  return result;
}

// Runs `body` in a child process with `keys` as its standard input and its
// standard output captured; the child ends with exit code 0 when `body` returns.
inline run_result run_in_child(const std::function<void()>& body, const std::string& keys = "") {
  int in[2], out[2];
  if (pipe(in) != 0 || pipe(out) != 0) return {};
  std::fflush(stdout);
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(in[0], STDIN_FILENO);
    dup2(out[1], STDOUT_FILENO);
    for (int fd : {in[0], in[1], out[0], out[1]}) close(fd);
    body();
    std::fflush(stdout);
    std::exit(0);
  }
  close(in[0]);
  close(out[1]);
  [[maybe_unused]] ssize_t n = write(in[1], keys.data(), keys.size());
  close(in[1]);
  return wait_for(pid, out[0]);
}

// A running program with a pipe on its standard input and its standard output
// captured.
class program {
 public:
  // `folder` is its working directory; `environment` adds NAME=VALUE entries.
  // With `input_closed` it starts with no standard input descriptor at all.
  program(const std::string& path, const std::string& folder,
          const std::vector<std::string>& environment = {}, bool input_closed = false) {
    int in[2], out[2];
    if (pipe(in) != 0 || pipe(out) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      dup2(in[0], STDIN_FILENO);
      dup2(out[1], STDOUT_FILENO);
      for (int fd : {in[0], in[1], out[0], out[1]}) close(fd);
      if (input_closed) close(STDIN_FILENO);
      if (chdir(folder.c_str()) != 0) _exit(126);
      for (const std::string& entry : environment) putenv(const_cast<char*>(entry.c_str()));
      execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    close(in[0]);
    close(out[1]);
    input_ = in[1];
    output_ = out[0];
  }
  ~program() {
    if (input_ >= 0) close(input_);
    if (pid_ > 0 && !finished_) {
      kill(pid_, SIGKILL);
      wait_for(pid_, output_);
    }
  }
  void type(const std::string& keys) {
    [[maybe_unused]] ssize_t n = write(input_, keys.data(), keys.size());
  }
  void end_input() {
    close(input_);
    input_ = -1;
  }
  void signal(int number) { kill(pid_, number); }
  // Waits for the end of the program (closing its input first).
  run_result finish() {
    if (input_ >= 0) end_input();
    finished_ = true;
    return wait_for(pid_, output_);
  }

 private:
  pid_t pid_ = -1;
  int input_ = -1;
  int output_ = -1;
  bool finished_ = false;
};

// Runs the program with `keys` as its whole input.
inline run_result run_program(const std::string& path, const std::string& folder,
                              const std::string& keys) {
  program p(path, folder);
  p.type(keys);
  return p.finish();
}

// The environment for running the program in a sanitizer build when it loads
// ALSA's plugins: they leave allocations of their own behind when ALSA unloads
// them, which LeakSanitizer must not count against the program. The
// suppression file is written into `folder`.
inline std::vector<std::string> alsa_leak_environment(const std::string& folder) {
  const std::string suppressions = folder + "/lsan.supp";
  std::ofstream(suppressions) << "leak:snd_dlopen\n";
  return {"ASAN_OPTIONS=fast_unwind_on_malloc=0", "LSAN_OPTIONS=suppressions=" + suppressions};
}

struct wav_file {
  bool valid = false;
  uint16_t format = 0, channels = 0, bits = 0;
  uint32_t rate = 0;
  uint32_t riff_size = 0, data_size = 0;
  size_t file_size = 0;
  std::vector<int16_t> samples;  // the data chunk
};

inline uint32_t le32(const unsigned char* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}
inline uint16_t le16(const unsigned char* p) {
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}

// Reads a 44-byte-header PCM WAV file; `valid` when the header is well formed
// and its sizes agree with each other and fit the file.
inline wav_file read_wav(const std::string& path) {
  wav_file wav;
  std::ifstream in(path, std::ios::binary);
  const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                         std::istreambuf_iterator<char>());
  wav.file_size = bytes.size();
  if (bytes.size() < 44) return wav;
  const unsigned char* h = bytes.data();
  wav.riff_size = le32(h + 4);
  wav.format = le16(h + 20);
  wav.channels = le16(h + 22);
  wav.rate = le32(h + 24);
  wav.bits = le16(h + 34);
  wav.data_size = le32(h + 40);
  wav.valid = std::memcmp(h, "RIFF", 4) == 0 && std::memcmp(h + 8, "WAVEfmt ", 8) == 0 &&
              le32(h + 16) == 16 && std::memcmp(h + 36, "data", 4) == 0 &&
              wav.riff_size == wav.data_size + 36 && 44 + size_t{wav.data_size} <= bytes.size() &&
              le32(h + 28) == wav.rate * 4 && le16(h + 32) == 4;
  if (wav.valid) {
    wav.samples.resize(wav.data_size / 2);
    std::memcpy(wav.samples.data(), h + 44, wav.samples.size() * 2);
  }
  return wav;
}

}  // namespace app_test
