#include "child_process.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace zem_test {

run_result wait_for(pid_t pid, int out_fd, int err_fd, int timeout_seconds) {
  run_result result;
  if (pid <= 0) {  // never started: nothing to read or reap
    for (int fd : {out_fd, err_fd}) {
      if (fd >= 0) close(fd);
    }
    return result;
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout_seconds);
  bool killed = false;
  int fds[2] = {out_fd, err_fd};
  std::string* sinks[2] = {&result.out, &result.err};
  while (fds[0] >= 0 || fds[1] >= 0) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          deadline - std::chrono::steady_clock::now())
                          .count();
    if (left <= 0 && !killed) {
      kill(pid, SIGKILL);
      killed = true;
    }
    pollfd ready[2];
    int which[2];
    nfds_t count = 0;
    for (int i = 0; i < 2; ++i) {
      if (fds[i] < 0) continue;
      ready[count] = {fds[i], POLLIN, 0};
      which[count++] = i;
    }
    const int n = poll(ready, count, killed ? -1 : static_cast<int>(left));
    if (n == 0 || (n < 0 && errno == EINTR)) continue;
    if (n < 0) break;
    for (nfds_t k = 0; k < count; ++k) {
      if (ready[k].revents == 0) continue;
      const int i = which[k];
      char buffer[4096];
      const ssize_t got = read(fds[i], buffer, sizeof buffer);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) {
        close(fds[i]);
        fds[i] = -1;
      } else {
        sinks[i]->append(buffer, static_cast<size_t>(got));
      }
    }
  }
  for (int fd : fds) {
    if (fd >= 0) close(fd);
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(status)) result.exit_code = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  return result;
}

run_result run_in_child(const std::function<void()>& body, const std::string& keys) {
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

program::program(const std::string& path, const launch& how)
    : timeout_seconds_(how.timeout_seconds) {
  int in[2], out[2], err[2] = {-1, -1};
  if (pipe(in) != 0 || pipe(out) != 0 || (how.capture_errors && pipe(err) != 0)) {
    ADD_FAILURE() << "no pipes for " << path;
    return;
  }
  // Everything the child needs is made before the fork.
  std::vector<std::string> words = {path};
  words.insert(words.end(), how.arguments.begin(), how.arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  std::vector<std::string> environment = how.environment;
  std::fflush(stdout);
  pid_ = fork();
  if (pid_ == 0) {
    dup2(in[0], STDIN_FILENO);
    dup2(out[1], STDOUT_FILENO);
    if (err[1] >= 0) dup2(err[1], STDERR_FILENO);
    for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) {
      if (fd >= 0) close(fd);
    }
    if (how.input_closed) close(STDIN_FILENO);
    if (!how.folder.empty() && chdir(how.folder.c_str()) != 0) _exit(126);
    for (std::string& entry : environment) putenv(entry.data());
    execv(argv[0], argv.data());
    _exit(127);
  }
  if (pid_ < 0) ADD_FAILURE() << "cannot start " << path;
  close(in[0]);
  close(out[1]);
  if (err[1] >= 0) close(err[1]);
  input_ = in[1];
  output_ = out[0];
  errors_ = err[0];
}

program::program(const std::string& path, const std::string& folder,
                 const std::vector<std::string>& environment, bool input_closed)
    : program(path, [&] {
        launch how;
        how.folder = folder;
        how.environment = environment;
        how.input_closed = input_closed;
        return how;
      }()) {}

program::~program() {
  if (input_ >= 0) close(input_);
  if (pid_ > 0 && !finished_) {
    kill(pid_, SIGKILL);
    wait_for(pid_, output_, errors_);
  }
}

void program::type(const std::string& keys) {
  [[maybe_unused]] ssize_t n = write(input_, keys.data(), keys.size());
}

void program::end_input() {
  close(input_);
  input_ = -1;
}

void program::signal(int number) {
  kill(pid_, number);
}

run_result program::finish() {
  if (input_ >= 0) end_input();
  finished_ = true;
  return wait_for(pid_, output_, errors_, timeout_seconds_);
}

run_result run_program(const std::string& path, const std::string& folder,
                       const std::string& keys) {
  program p(path, folder);
  p.type(keys);
  return p.finish();
}

}  // namespace zem_test
