#include "autosave.h"

#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>

#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <thread>

#include "program_session.h"
#include "session_changes.h"
#include "session_file.h"

namespace {

// Made once and never freed: a fault that ends the process while the thread
// runs must not destroy what it uses.
struct autosaver {
  std::string path;
  rack_session last;  // the rack as last saved, or as it started
  std::string last_failure;
  std::mutex mutex;  // guards stopping
  std::condition_variable wake;
  bool stopping = false;
  std::thread* thread = nullptr;
  bool kept_previous = false;  // the autosave of an earlier run is set aside
};
autosaver* saver = nullptr;

void report_failure(const std::string& error) {
  if (error == saver->last_failure) return;  // once, not every 30 s
  saver->last_failure = error;
  std::printf("Autosave failed: %s\n", error.c_str());
  std::fflush(stdout);
}

// Makes the folder and those above it that are missing, readable by the user
// alone, as state folders are made.
bool make_private_folders(const std::filesystem::path& folder, std::string& error) {
  std::error_code ignored;
  if (folder.empty() || std::filesystem::is_directory(folder, ignored)) return true;
  if (!make_private_folders(folder.parent_path(), error)) return false;
  if (::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST) return true;
  error = "cannot make " + folder.string() + ": " + std::strerror(errno);
  return false;
}

// The first save of a run sets the earlier run's autosave aside as
// autosave-previous.zem: a run started without --restore must not wipe out
// the work that the last one left.
void keep_previous_autosave() {
  if (saver->kept_previous) return;
  saver->kept_previous = true;
  const std::filesystem::path path(saver->path);
  std::error_code ignored;
  // A copy, so that the autosave stays in place until the new one replaces it.
  std::filesystem::copy_file(path, path.parent_path() / "autosave-previous.zem",
                             std::filesystem::copy_options::overwrite_existing, ignored);
}

bool write_autosave(const rack_session& session, std::string& error) {
  if (!make_private_folders(std::filesystem::path(saver->path).parent_path(), error)) return false;
  keep_previous_autosave();
  return write_session_file(saver->path, session, program_rack(), error);
}

// Captures the rack and writes it when it has changed since the last save,
// or in any case with `always`.
bool save_rack(bool always, std::string& error) {
  rack_session now;
  capture_program_session(now);
  if (!always && same_edits(now, saver->last, program_rack())) return true;
  if (!write_autosave(now, error)) return false;
  saver->last = std::move(now);
  saver->last_failure.clear();
  return true;
}

void run_autosaves() {
  // Quit signals are the main thread's to take.
  sigset_t all;
  sigfillset(&all);
  pthread_sigmask(SIG_BLOCK, &all, nullptr);
  std::unique_lock<std::mutex> lock(saver->mutex);
  while (!saver->wake.wait_for(lock, autosave_interval, [] { return saver->stopping; })) {
    lock.unlock();
    std::string error;
    if (!save_rack(false, error)) report_failure(error);
    lock.lock();
  }
}

}  // namespace

std::string autosave_path() {
  // A relative XDG_STATE_HOME is to be ignored, as if unset.
  const char* state = std::getenv("XDG_STATE_HOME");
  std::filesystem::path folder;
  if (state != nullptr && state[0] == '/') {
    folder = state;
  } else if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') {
    folder = std::filesystem::path(home) / ".local" / "state";
  } else {
    return {};
  }
  return (folder / "zem" / "autosave.zem").string();
}

void start_autosave() {
  saver = new autosaver;
  saver->path = autosave_path();
  if (saver->path.empty()) return;
  capture_program_session(saver->last);
  saver->thread = new std::thread(run_autosaves);
}

void finish_autosave() {
  if (saver == nullptr) return;
  if (saver->thread != nullptr) {
    {
      const std::lock_guard<std::mutex> lock(saver->mutex);
      saver->stopping = true;
    }
    saver->wake.notify_one();
    saver->thread->join();
  }
  if (saver->path.empty()) {
    std::printf("No autosave: neither XDG_STATE_HOME nor HOME names a folder for it\n");
    return;
  }
  std::string error;
  if (save_rack(true, error))
    std::printf("Session autosaved to %s\n", saver->path.c_str());
  else
    std::printf("Autosave failed: %s\n", error.c_str());
  std::fflush(stdout);
}
