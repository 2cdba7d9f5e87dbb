// The real device path: a private PulseAudio server with a null sink, reached
// through PortAudio's ALSA host API as a sound card would be. The server is
// started for each test and always stopped afterwards.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "app_test_support.h"
#include "child_process.h"
#include "fsound.h"
#include "leak_suppressions.h"
#include "startup.h"
#include "temp_folder.h"
#include "window_session.h"

// In sanitizer builds: ALSA's plugins leave allocations of their own behind
// when ALSA unloads them; full stacks let the suppression (leak_suppressions.h)
// find them.
extern "C" const char* __asan_default_options() {
  return zem_test::full_stack_asan_options;
}

namespace {
using zem_test::read_file;
using zem_test::temp_folder;

constexpr unsigned int mode = app_test::stream_mode;

bool can_connect(const std::string& socket_path) {
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, socket_path.c_str(), sizeof address.sun_path - 1);
  const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  close(fd);
  return ok;
}

// A PulseAudio server of our own: its own home and runtime folder, a null sink
// that consumes the sound at the real rate, no autospawn, no D-Bus, no X11.
class pulse_server {
 public:
  pulse_server() {
    home_ = folder_.file("home");
    runtime_ = folder_.file("run");
    std::filesystem::create_directories(home_ + "/.config/pulse");
    std::filesystem::create_directories(runtime_);
    std::filesystem::permissions(runtime_, std::filesystem::perms::owner_all);
    std::ofstream(home_ + "/.config/pulse/client.conf") << "autospawn = no\n";
    socket_ = runtime_ + "/pulse/native";
    log_ = folder_.file("pulseaudio.log");
  }
  ~pulse_server() { stop(); }

  // Starts the server and waits (at most 15 s) until it takes connections.
  bool start() {
    pid_ = fork();
    if (pid_ == 0) {
      prctl(PR_SET_PDEATHSIG, SIGTERM);  // never outlives the test
      const int log = open(log_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      dup2(log, STDOUT_FILENO);
      dup2(log, STDERR_FILENO);
      setenv("HOME", home_.c_str(), 1);
      setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1);
      unsetenv("DISPLAY");
      setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
      execlp("pulseaudio", "pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
             "--use-pid-file=no", "--disable-shm=yes", "--log-target=stderr", "-L",
             "module-native-protocol-unix", "-L", "module-null-sink sink_name=nullsink",
             static_cast<char*>(nullptr));
      _exit(127);
    }
    if (pid_ < 0) return false;
    for (int i = 0; i < 1500; ++i) {
      if (can_connect(socket_)) return true;
      int status;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return false;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }

  void stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    for (int i = 0; i < 500; ++i) {
      if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
        pid_ = -1;
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

  // The environment that leads a client to this server.
  std::vector<std::string> client_environment() const {
    return {"HOME=" + home_, "XDG_RUNTIME_DIR=" + runtime_, "PULSE_SERVER=unix:" + socket_};
  }
  std::string log() const { return read_file(log_); }

 private:
  temp_folder folder_;
  std::string home_, runtime_, socket_, log_;
  pid_t pid_ = -1;
};

class AppPulse : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.start())
        << "PulseAudio could not be started for the real-device test (is the package "
           "pulseaudio installed?). Its log:\n"
        << server_.log();
    for (const std::string& entry : server_.client_environment()) {
      const size_t equals = entry.find('=');
      setenv(entry.substr(0, equals).c_str(), entry.substr(equals + 1).c_str(), 1);
    }
  }
  void TearDown() override {
    FSOUND_Close();
    server_.stop();
  }
  pulse_server server_;
};

// Counts the frames pulled from it.
std::atomic<uint64_t> probe_frames{0};
signed char probe_callback(FSOUND_STREAM*, void*, int length, void*) {
  probe_frames += static_cast<uint64_t>(length / 4);
  return 1;
}

// Waits (at most 10 s) until the probe has been pulled at no less than half the
// rate for a quarter of a second.
bool wait_until_flowing() {
  for (int i = 0; i < 40; ++i) {
    const uint64_t before = probe_frames.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    if (probe_frames.load() - before >= 44100 / 8) return true;
  }
  return false;
}

TEST_F(AppPulse, FiveStreamsPlayOnTheDefaultDeviceAtTheRealRate) {
  ASSERT_TRUE(FSOUND_SetOutput(FSOUND_OUTPUT_DIRECT_SOUND));
  ASSERT_GE(FSOUND_GetNumDrivers(), 1) << "PortAudio lists no device of the PulseAudio server";
  std::printf("first driver: %s\n", FSOUND_GetDriverName(0));
  ASSERT_TRUE(FSOUND_SetDriver(0));
  ASSERT_TRUE(FSOUND_Init(44100, 32, 0)) << "error " << FSOUND_GetError();
  build_instruments();
  create_streams();
  start_streams();
  FSOUND_STREAM* probe = FSOUND_Stream_Create(probe_callback, 65536, mode, 44100, nullptr);
  ASSERT_EQ(FSOUND_Stream_Play(5, probe), 5);

  // The server takes a moment (about a second) before it paces the stream.
  ASSERT_TRUE(wait_until_flowing()) << "the stream never started to flow";
  // Then the frames pulled are sampled every quarter of a second, for five
  // seconds and on until some two seconds ran at the real rate (at most 20 s).
  // A device that is not paced, or a layer that pulls too little, fails; a
  // busy machine that holds up PulseAudio's threads for a while does not.
  const uint64_t late_first = fsound_late_blocks();
  std::vector<uint64_t> counts{probe_frames.load()};
  std::vector<std::chrono::steady_clock::time_point> times{std::chrono::steady_clock::now()};
  double best = 0;
  for (size_t i = 1; i <= 80 && (i <= 20 || best <= 44100 * 0.9); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    counts.push_back(probe_frames.load());
    times.push_back(std::chrono::steady_clock::now());
    if (i < 8) continue;
    const double seconds = std::chrono::duration<double>(times[i] - times[i - 8]).count();
    best = std::max(best, static_cast<double>(counts[i] - counts[i - 8]) / seconds);
  }
  const uint64_t late = fsound_late_blocks() - late_first;
  shut_down();

  const double seconds = std::chrono::duration<double>(times.back() - times.front()).count();
  const double overall = static_cast<double>(counts.back() - counts.front()) / seconds;
  std::printf("pulled %.0f frames per second at best, %.0f overall; %llu late blocks in %.1f s\n",
              best, overall, static_cast<unsigned long long>(late), seconds);
  RecordProperty("late_blocks", static_cast<int>(late));
  EXPECT_GT(best, 44100 * 0.9);
  EXPECT_LT(best, 44100 * 1.1);
  EXPECT_GT(overall, 44100 * 0.25) << "the stream stalled";
  for (INSTRUMENT* instrument : instrument_list) EXPECT_TRUE(app_test::has_played(instrument));
}

TEST_F(AppPulse, ServerThatIsGoneMakesInitFailWithAnError) {
  ASSERT_TRUE(FSOUND_SetOutput(FSOUND_OUTPUT_DIRECT_SOUND));
  ASSERT_GE(FSOUND_GetNumDrivers(), 1);
  server_.stop();
  for (int driver = 0; driver < FSOUND_GetNumDrivers(); ++driver) {
    ASSERT_TRUE(FSOUND_SetDriver(driver));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(FSOUND_Init(44100, 32, 0)) << FSOUND_GetDriverName(driver);
    const int error = FSOUND_GetError();
    EXPECT_TRUE(error == FSOUND_ERR_INIT_OUTPUT || error == FSOUND_ERR_OUTPUT_BUSY) << error;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  }
}

TEST_F(AppPulse, ProgramPlaysThroughTheServerAndQuitsOnEscape) {
  window_test::session zem("11", server_.client_environment());
  ASSERT_FALSE(zem.window().empty()) << zem.output();
  const auto result = zem.quit_with("Escape");
  EXPECT_EQ(result.exit_code, 0) << result.out;
  EXPECT_NE(result.out.find("Direct Sound Driver list\n"), std::string::npos);
  EXPECT_NE(result.out.find("Late audio blocks: "), std::string::npos) << result.out;
}
}  // namespace
