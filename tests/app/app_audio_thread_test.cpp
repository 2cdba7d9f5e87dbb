// No malloc, calloc, free or pthread_mutex_lock on JACK's process thread (a
// private server) while the five play with every stage on, a step ending
// every 11 frames, the step-event rings full and the R recording fed; the
// thread runs real-time, and a process hook sees every cycle. (A sanitizer
// replaces these functions itself: skipped there.)
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <pthread.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "callback_timing.h"
#include "fsound.h"
#include "jack_output.h"
#include "jack_server.h"
#include "mix_recorder.h"
#include "sanitizer_build.h"
#include "startup.h"
#include "step_event_rings.h"
#include "temp_folder.h"

namespace {
thread_local bool counting = false;  // set on the process thread while armed
std::atomic<bool> armed{false};
std::atomic<int> calls{0};
}  // namespace

#if !ZEM_SANITIZER_BUILD
#define COUNTS_CALLS 1
static void note_call() {
  if (counting) calls.fetch_add(1, std::memory_order_relaxed);
}
extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void __libc_free(void*);
void* malloc(size_t size) {
  return note_call(), __libc_malloc(size);
}
void* calloc(size_t count, size_t size) {
  return note_call(), __libc_calloc(count, size);
}
void free(void* memory) {
  note_call(), __libc_free(memory);
}
int pthread_mutex_lock(pthread_mutex_t* mutex) {
  static const auto real =
      reinterpret_cast<int (*)(pthread_mutex_t*)>(dlsym(RTLD_NEXT, "pthread_mutex_lock"));
  return note_call(), real(mutex);
}
}
#else
#define COUNTS_CALLS 0
#endif

namespace {
// Arms the counting at every cycle, as a MIDI port's hook would run.
struct arming_hook : jack_process_hook {
  bool client_opened(jack_client_t*) override { return true; }
  void before_mix(jack_nframes_t frames) override {
    counting = armed.load();
    largest_cycle = std::max(largest_cycle, frames);
  }
  void after_mix(jack_nframes_t) override { cycles.fetch_add(1); }
  void client_closing(jack_client_t*) override {}
  jack_nframes_t largest_cycle = 0;  // the process thread's until the client closes
  std::atomic<int> cycles{0};
};

TEST(AppAudioThread, JacksProcessThreadRendersWithoutMallocFreeOrLock) {
  if (!COUNTS_CALLS) GTEST_SKIP() << "a sanitizer replaces malloc and free itself";
  pthread_mutex_t mutex = PTHREAD_MUTEX_INITIALIZER;
  pthread_mutex_lock(&mutex);  // finds the real function before the process thread runs
  pthread_mutex_unlock(&mutex);
  tempo = 133;
  build_instruments();
  for (INSTRUMENT* i : instrument_list) {
    if (!i->get_noise()) i->toggle_noise();
    if (!i->get_distortion()) i->toggle_distortion();
    if (!i->get_envelope()) i->toggle_envelope();
    if (!i->get_filter()) i->toggle_filter();
    if (!i->envelope_lfo->get_on()) i->envelope_lfo->toggle();
    if (!i->filter_lfo->get_on()) i->filter_lfo->toggle();
    i->samples_per_step = 10.5f;
  }
  install_step_event_rings(instrument_list);
  mix_recorder recorder;
  fsound_block_listeners().add(&recorder);
  zem_test::jack_server jack;
  ASSERT_TRUE(jack.wait_until_running()) << "jackd did not start";
  setenv("JACK_DEFAULT_SERVER", jack.name().c_str(), 1);
  arming_hook hook;
  ASSERT_TRUE(add_jack_process_hook(&hook));
  ASSERT_TRUE(FSOUND_SetOutput(FSOUND_OUTPUT_ASIO));
  ASSERT_EQ(FSOUND_GetNumDrivers(), 1);
  EXPECT_STREQ(FSOUND_GetDriverName(0), "system");
  ASSERT_TRUE(FSOUND_Init(44100, 32, 0)) << FSOUND_GetError();
  create_streams();
  start_streams();
  zem_test::temp_folder folder;
  std::string error;
  ASSERT_TRUE(recorder.start(folder.file("mix.wav"), 44100, error)) << error;

  armed = true;
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  armed = false;
  std::this_thread::sleep_for(std::chrono::milliseconds(100));  // a cycle disarms the thread
  EXPECT_EQ(calls.load(), 0);
  EXPECT_GT(recorder.stop(), 44100u / 2);
  step_event event;
  EXPECT_TRUE(take_step_event(0, event)) << "the steps did not fire";
  EXPECT_GT(dropped_step_events(), 0u) << "the rings did not fill";
  FSOUND_Close();
  remove_jack_process_hook(&hook);
  EXPECT_GT(hook.cycles.load(), 100);
  EXPECT_EQ(hook.largest_cycle, 256u);
  // The server runs in real-time mode here, and so does the process thread.
  const int policy = fsound_callback_timing().thread_policy();
  EXPECT_TRUE(policy == SCHED_FIFO || policy == SCHED_RR) << policy;
}
}  // namespace
