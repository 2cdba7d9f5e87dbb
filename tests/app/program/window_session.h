// The real program in a real window, driven as a user would: its menus are
// answered on its standard input, the pointer and the keys come from xdotool
// as X events, and widget places are read from its F2 layout dump. Every wait
// is for a condition, with a deadline that only a hung program reaches.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "child_process.h"
#include "temp_folder.h"
#include "wav_reading.h"

namespace window_test {

// The standard output of a shell command.
inline std::string shell(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[4096];
  size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  pclose(pipe);
  return out;
}

// Polls the condition every 20 ms until it holds or the deadline passes.
inline bool wait_until(const std::function<bool()>& condition, int seconds = 60) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

// The pixels of an RGB picture whose three channels are all bright.
inline int bright_pixels(const std::string& rgb) {
  int n = 0;
  for (size_t i = 0; i + 2 < rgb.size(); i += 3) {
    const auto channel = [&](size_t k) { return static_cast<unsigned char>(rgb[i + k]); };
    if (channel(0) > 180 && channel(1) > 180 && channel(2) > 180) ++n;
  }
  return n;
}

// One widget of the F2 dump, at its place in the window.
struct widget {
  std::string image;
  int x = 0, y = 0, width = 0, height = 0;
};

// The installation of the build (textures, font, layouts) in a private
// working folder, where the recording is written too.
inline void borrow_installation(const zem_test::temp_folder& folder) {
  for (const char* name : {"OPENGL.ZPK", "textures", "Test.ttf", "RC"})
    std::filesystem::create_symlink(std::string(ZEM_RUNTIME_DIR) + "/" + name, folder.file(name));
}

// In a sanitizer build the program's memory errors still end it at once, but
// its leak check at exit is off: quitting unloads the GL driver, whose
// leftovers can then no longer be told apart from ours. The in-process window
// tests check our own objects for leaks.
inline std::vector<std::string> leak_environment() {
  return {"LSAN_OPTIONS=detect_leaks=0"};
}

class session {
 public:
  // Starts the program with `arguments` in a fresh folder and answers the
  // menus with `keys` ("42": "NoSound", recording to session.wav); the
  // console stays open for more typing.
  explicit session(const std::string& keys = "42", const std::vector<std::string>& environment = {},
                   const std::vector<std::string>& arguments = {}) {
    borrow_installation(folder_);
    std::vector<std::string> all = leak_environment();
    all.insert(all.end(), environment.begin(), environment.end());
    int in[2], out[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe(out) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      dup2(in[0], STDIN_FILENO);
      dup2(out[1], STDOUT_FILENO);
      for (int fd : {in[0], in[1], out[0], out[1]}) close(fd);
      if (chdir(folder_.path().c_str()) != 0) _exit(126);
      for (std::string& entry : all) putenv(entry.data());
      std::vector<char*> argv{const_cast<char*>(ZEM_PROGRAM)};
      for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.data()));
      argv.push_back(nullptr);
      execv(ZEM_PROGRAM, argv.data());
      _exit(127);
    }
    close(in[0]);
    close(out[1]);
    // The output is read all along: a program whose console pipe is full
    // would stop until someone reads it.
    reader_ = std::thread([this, fd = out[0]] {
      char buffer[65536];
      ssize_t n = 0;
      while ((n = read(fd, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR)) {
        if (n <= 0) continue;
        std::lock_guard<std::mutex> lock(mutex_);
        received_.append(buffer, static_cast<size_t>(n));
      }
      close(fd);
    });
    input_ = in[1];
    type(keys);
  }
  ~session() {
    if (pid_ > 0 && !finished_) {
      kill(pid_, SIGKILL);
      finish();
    }
    if (reader_.joinable()) reader_.join();
    end_input();
  }
  session(const session&) = delete;
  session& operator=(const session&) = delete;

  const zem_test::temp_folder& folder() const { return folder_; }

  // Writes on the program's standard input, which stays open until the end
  // (an ended program makes the write fail, not the test).
  void type(const std::string& text) {
    signal(SIGPIPE, SIG_IGN);
    [[maybe_unused]] const ssize_t n = write(input_, text.data(), text.size());
  }
  void end_input() {
    if (input_ >= 0) close(input_);
    input_ = -1;
  }

  // Everything printed so far.
  const std::string& output() {
    std::lock_guard<std::mutex> lock(mutex_);
    output_ = received_;
    return output_;
  }
  // Waits until `text` is printed at or after position `from` of the output.
  bool wait_for_output(const std::string& text, size_t from = 0, int seconds = 60) {
    return wait_until([&] { return output().find(text, from) != std::string::npos; }, seconds);
  }

  // The program's window, once it shows its first picture: the program then
  // enters its main loop. Keys sent to it while it was still building its
  // panels were seen to be lost.
  const std::string& window() {
    if (window_.empty()) {
      window_ = shell("timeout 60 xdotool search --sync --onlyvisible --pid " +
                      std::to_string(pid_) + " 2>/dev/null | head -1");
      while (!window_.empty() && window_.back() == '\n') window_.pop_back();
      if (!window_.empty()) wait_until([&] { return bright_pixels(picture(0, 0, 800, 625)) > 0; });
    }
    return window_;
  }

  // Bytes of the window's picture in the area (RGB, 8 bits each).
  std::string picture(int x, int y, int width, int height) {
    const std::string file = folder_.file("area.rgb");
    shell("import -window " + window() + " -crop " + std::to_string(width) + "x" +
          std::to_string(height) + "+" + std::to_string(x) + "+" + std::to_string(y) +
          " -depth 8 rgb:" + file + " 2>/dev/null");
    return zem_test::read_file(file);
  }

  // Runs xdotool with these arguments (%W stands for the window).
  void xdotool(std::string arguments) {
    const std::string::size_type at = arguments.find("%W");
    if (at != std::string::npos) arguments.replace(at, 2, window());
    shell("xdotool " + arguments + " 2>/dev/null");
  }
  void key(const std::string& name) { xdotool("key --window %W " + name); }

  // Presses F2 and reads the five panels' dumps that it prints: every widget
  // by its control name, at its place in the window. The dump comes after
  // every event sent before it, so it also shows that they were handled.
  std::map<std::string, widget> dump() {
    const size_t from = output().size();
    std::map<std::string, widget> widgets;
    // The first key sent to the window is sometimes not seen by the program
    // (observed with synthetic X key events, cause unknown): it is sent again.
    bool dumped = false;
    for (int attempt = 0; attempt < 20 && !dumped; ++attempt) {
      key("F2");
      dumped = wait_until([&] { return count(output().substr(from), "\nEND\n") >= 5; }, 3);
    }
    if (!dumped) return widgets;
    std::istringstream lines(output().substr(from));
    const std::regex item(
        "\"([^\"]*)_INSTRUMENT_([0-9])\" \"([^\"]*)\" \"[^\"]*\" +(-?[0-9]+) +"
        "(-?[0-9]+) +([0-9]+) +([0-9]+) +0 ");
    std::string line;
    std::smatch m;
    while (std::getline(lines, line)) {
      if (!std::regex_match(line, m, item)) continue;
      // Instrument n is the panel whose origin is 125 n pixels from the top.
      const int top = 125 * std::stoi(m[2]);
      widgets[m[1].str() + "_" + m[2].str()] = {m[3], std::stoi(m[4]), std::stoi(m[5]) + top,
                                                std::stoi(m[6]), std::stoi(m[7])};
    }
    return widgets;
  }

  // Sends the window the close request that a window manager sends.
  void close_window() {
    shell(
        "/usr/bin/python3 -c \"import Xlib.display, Xlib.protocol.event as e; "
        "d = Xlib.display.Display(); w = d.create_resource_object('window', " +
        window() +
        "); w.send_event(e.ClientMessage(window=w, client_type=d.intern_atom('WM_PROTOCOLS'), "
        "data=(32, [d.intern_atom('WM_DELETE_WINDOW'), 0, 0, 0, 0])), event_mask=0); "
        "d.flush()\"");
  }

  // Sends the key (ESC), again should the program not see it (as dump()
  // does), until the program ends; then finish().
  zem_test::run_result quit_with(const std::string& name) {
    for (int attempt = 0; attempt < 20; ++attempt) {
      key(name);
      if (ended(3)) break;
    }
    return finish();
  }

  // Waits for the end of the program (killing it after `seconds`); its whole
  // output is in the result.
  zem_test::run_result finish(int seconds = 60) {
    finished_ = true;
    end_input();
    if (!ended(seconds)) {
      kill(pid_, SIGKILL);
      waitpid(pid_, &status_, 0);
    }
    if (reader_.joinable()) reader_.join();
    zem_test::run_result result;
    if (WIFEXITED(status_)) result.exit_code = WEXITSTATUS(status_);
    if (WIFSIGNALED(status_)) result.signal = WTERMSIG(status_);
    result.out = output();
    return result;
  }

  pid_t pid() const { return pid_; }

 private:
  // Whether the program ended within `seconds`; its status is then in status_.
  bool ended(int seconds) {
    if (!exited_)
      exited_ = wait_until([&] { return waitpid(pid_, &status_, WNOHANG) == pid_; }, seconds);
    return exited_;
  }

  static int count(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
  }

  zem_test::temp_folder folder_;
  pid_t pid_ = -1;
  int input_ = -1;  // the write end of the program's standard input
  bool finished_ = false;
  bool exited_ = false;
  int status_ = 0;
  std::thread reader_;
  std::mutex mutex_;
  std::string received_;  // guarded by mutex_
  std::string output_;
  std::string window_;
};

// Frames recorded so far by a session that records ("42"): the recorder
// writes whole blocks after the 44-byte header.
inline int64_t recorded_frames(const session& zem, const std::string& file = "session.wav") {
  std::error_code error;
  const auto bytes = std::filesystem::file_size(zem.folder().file(file), error);
  return error || bytes < 44 ? 0 : static_cast<int64_t>(bytes - 44) / 4;
}

// The largest sample of the frames [from, from + count) of the recording,
// once they are recorded.
inline int peak(const session& zem, size_t from, size_t count) {
  std::vector<int16_t> samples;
  wait_until([&] {
    const auto wav = zem_test::read_wav(zem.folder().file("session.wav"));
    if (!wav.valid || wav.samples.size() < 2 * (from + count)) return false;
    samples.assign(wav.samples.begin() + static_cast<long>(2 * from),
                   wav.samples.begin() + static_cast<long>(2 * (from + count)));
    return true;
  });
  int largest = -1;
  for (int16_t s : samples) largest = std::max(largest, std::abs(int{s}));
  return largest;
}

// The level of the recording from now on: F2 is answered only after every
// event sent before it was handled, and a little more than a block is left
// for the frames rendered before then. Two seconds hold a whole bass-line pass.
inline int level_from_now(session& zem) {
  zem.dump();
  return peak(zem, static_cast<size_t>(recorded_frames(zem)) + 44100 / 10, 2 * 44100);
}

}  // namespace window_test
