#include "recording_display.h"

#include <GL/gl.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>

#include "font.h"
#include "fsound.h"
#include "input_state.h"
#include "instrument.h"
#include "mix_recorder.h"
#include "window_status.h"

namespace {
mix_recorder recorder;

// What the window's mark shows.
enum class mark { none, recording, stopped };
mark shown_mark = mark::none;
bool session_failure_reported = false;

// zem-YYYYMMDD-HHMMSS.wav, with -2, -3, ... when that name is taken: an
// earlier recording is never written over.
std::string new_recording_name() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "zem-%Y%m%d-%H%M%S", &local);
  std::string name = std::string(stamp) + ".wav";
  for (int n = 2; std::filesystem::exists(name); ++n)
    name = std::string(stamp) + "-" + std::to_string(n) + ".wav";
  return name;
}

void show_mark(mark m) {
  if (m == shown_mark) return;
  shown_mark = m;
  // The mark lies over a panel: the whole picture is drawn again.
  input.full_frame_wanted = true;
}

// One line on the console and in the window.
void report_stopped(const std::string& why) {
  std::printf("Recording stopped: %s\n", why.c_str());
  set_status_part(status_part::recording, "recording stopped: " + why);
  show_mark(mark::stopped);
}

void stop_and_report() {
  const uint64_t frames = recorder.stop();
  const uint64_t lost = recorder.lost_frames();
  std::printf("Recording saved: %s, %.1f s\n", recorder.path().c_str(),
              static_cast<double>(frames) / sample_rate);
  if (lost != 0)
    std::printf("Recording %s misses %llu frames: the disk did not keep up\n",
                recorder.path().c_str(), static_cast<unsigned long long>(lost));
  set_status_part(status_part::recording, "");
  show_mark(mark::none);
}
}  // namespace

void install_mix_recorder() {
  fsound_block_listeners().remove(&recorder);
  fsound_block_listeners().add(&recorder);
}

void toggle_recording() {
  if (recorder.recording()) {
    stop_and_report();
    return;
  }
  const std::string name = new_recording_name();
  std::string error;
  if (!recorder.start(name, sample_rate, error)) {
    std::printf("Recording not started: %s\n", error.c_str());
    return;
  }
  std::printf("Recording to %s\n", name.c_str());
  set_status_part(status_part::recording, "REC " + name);
  show_mark(mark::recording);
}

void follow_recordings() {
  if (recorder.recording() && recorder.failed()) {
    report_stopped(recorder.failure());
    recorder.stop();
  }
  if (!session_failure_reported) {
    const std::string failure = fsound_recording_failure();
    if (!failure.empty()) {
      session_failure_reported = true;
      report_stopped(failure);
    }
  }
}

void draw_recording_mark() {
  if (shown_mark == mark::none) return;
  // The empty corner at the top right of the first panel.
  glColor3ub(255, 48, 48);
  print_text(large_font, shown_mark == mark::recording ? 746 : 672, 603, "%s",
             shown_mark == mark::recording ? "REC" : "REC STOPPED");
  glColor3ub(255, 255, 255);
}

void finish_recording() {
  if (recorder.recording()) stop_and_report();
}
