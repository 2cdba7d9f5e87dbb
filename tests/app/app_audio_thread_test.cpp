// The audio thread neither allocates, frees nor locks a mutex: the five
// instruments play with every stage on and a step ending every few frames
// (step events into the rings, pass ends, pattern changes), the mix goes to
// the R recording's ring, and every malloc, free and pthread_mutex_lock made
// on the audio thread meanwhile is counted, through the "NoSound" thread and
// through JACK's process thread on a private server. This program replaces
// those functions for the whole process, so it cannot run under a sanitizer,
// which replaces them too.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <pthread.h>
#include <sched.h>

#include <atomic>
#include <chrono>
#include <regex>
#include <thread>

#include "callback_timing.h"
#include "fsound.h"
#include "jack_output.h"
#include "jack_server.h"
#include "mix_recorder.h"
#include "startup.h"
#include "step_event_rings.h"
#include "temp_folder.h"

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define ZEM_COUNTS_CALLS 0
#else
#define ZEM_COUNTS_CALLS 1
#endif

namespace {
// Set on the audio thread while the test counts there.
thread_local bool counting = false;
std::atomic<bool> armed{false};
std::atomic<int> calls_counted{0};

inline void note_call() {
  if (counting) calls_counted.fetch_add(1, std::memory_order_relaxed);
}
}  // namespace

#if ZEM_COUNTS_CALLS
extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void __libc_free(void*);

void* malloc(size_t size) {
  note_call();
  return __libc_malloc(size);
}
void* calloc(size_t count, size_t size) {
  note_call();
  return __libc_calloc(count, size);
}
void* realloc(void* memory, size_t size) {
  note_call();
  return __libc_realloc(memory, size);
}
void free(void* memory) {
  note_call();
  __libc_free(memory);
}
int pthread_mutex_lock(pthread_mutex_t* mutex) {
  // Resolved before any audio thread exists (see the test's first lines).
  static const auto real =
      reinterpret_cast<int (*)(pthread_mutex_t*)>(dlsym(RTLD_NEXT, "pthread_mutex_lock"));
  note_call();
  return real(mutex);
}
}
#endif

namespace {
// Arms and disarms the counting on the thread that renders the rack.
class arming_listener : public rack_block_listener {
 public:
  void before_block(uint64_t, int) override { counting = armed.load(); }
  void after_block(uint64_t, int16_t*, int) override {}
};

// A hook as the MIDI ports will be: it sees every cycle and its frames.
class counting_hook : public jack_process_hook {
 public:
  bool client_opened(jack_client_t*) override { return true; }
  void before_mix(jack_nframes_t frames) override {
    counting = armed.load();
    largest_cycle.store(std::max(largest_cycle.load(), frames));
  }
  void after_mix(jack_nframes_t) override { cycles.fetch_add(1); }
  void client_closing(jack_client_t*) override {}
  std::atomic<jack_nframes_t> largest_cycle{0};
  std::atomic<int> cycles{0};
};

void switch_every_stage_on(INSTRUMENT& i) {
  for (auto [on, toggle] : {std::pair{&INSTRUMENT::get_noise, &INSTRUMENT::toggle_noise},
                            {&INSTRUMENT::get_distortion, &INSTRUMENT::toggle_distortion},
                            {&INSTRUMENT::get_envelope, &INSTRUMENT::toggle_envelope},
                            {&INSTRUMENT::get_filter, &INSTRUMENT::toggle_filter}})
    if (!(i.*on)()) (i.*toggle)();
  if (!i.envelope_lfo->get_on()) i.envelope_lfo->toggle();
  if (!i.filter_lfo->get_on()) i.filter_lfo->toggle();
}

// Plays the rack on the initialised output for a while, counting on the
// audio thread, and returns the calls counted; the main thread meanwhile
// empties the step-event rings as the main loop does.
int count_calls_while_playing(const std::string& recording) {
  mix_recorder recorder;
  arming_listener arming;
  fsound_block_listeners().add(&arming);
  fsound_block_listeners().add(&recorder);
  create_streams();
  start_streams();
  std::string error;
  EXPECT_TRUE(recorder.start(recording, 44100, error)) << error;
  calls_counted = 0;
  armed = true;
  uint64_t events = 0;
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
  while (std::chrono::steady_clock::now() < end) {
    step_event event;
    for (size_t ring = 0; ring < instrument_count; ++ring)
      while (take_step_event(ring, event)) ++events;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  armed = false;
  std::this_thread::sleep_for(std::chrono::milliseconds(100));  // a block disarms the thread
  const int calls = calls_counted.load();
  EXPECT_GT(recorder.stop(), 44100u / 2);
  EXPECT_GT(events, 1000u) << "the steps did not fire";
  FSOUND_Close();
  fsound_block_listeners().remove(&arming);
  fsound_block_listeners().remove(&recorder);
  return calls;
}

TEST(AppAudioThread, RendersWithoutMallocFreeOrLockThroughNoSoundAndJack) {
  if (!ZEM_COUNTS_CALLS) GTEST_SKIP() << "a sanitizer replaces malloc and free itself";
  pthread_mutex_t mutex = PTHREAD_MUTEX_INITIALIZER;
  pthread_mutex_lock(&mutex);  // resolves the real function on this thread
  pthread_mutex_unlock(&mutex);
  zem_test::temp_folder folder;
  tempo = 133;
  build_instruments();
  for (INSTRUMENT* instrument : instrument_list) {
    switch_every_stage_on(*instrument);
    instrument->samples_per_step = 10.5f;  // a step ends every 11 frames
  }
  install_step_event_rings(instrument_list);

  ASSERT_TRUE(FSOUND_SetOutput(FSOUND_OUTPUT_NOSOUND));
  ASSERT_TRUE(FSOUND_Init(44100, 32, 0));
  EXPECT_EQ(count_calls_while_playing(folder.file("nosound.wav")), 0);

  zem_test::jack_server jack(256);
  ASSERT_TRUE(jack.wait_until_running()) << "jackd did not start";
  setenv("JACK_DEFAULT_SERVER", jack.name().c_str(), 1);
  counting_hook hook;
  ASSERT_TRUE(add_jack_process_hook(&hook));
  ASSERT_TRUE(FSOUND_SetOutput(FSOUND_OUTPUT_ASIO));
  ASSERT_EQ(FSOUND_GetNumDrivers(), 1);
  EXPECT_STREQ(FSOUND_GetDriverName(0), "system");
  ASSERT_TRUE(FSOUND_Init(44100, 32, 0)) << FSOUND_GetError();
  // The client is zem, its ports feed the first two playback ports.
  const std::string ports = jack.ports();
  EXPECT_TRUE(std::regex_search(
      ports, std::regex("zem:out_0\n +system:playback_1\nzem:out_1\n +system:playback_2\n")))
      << ports;
  EXPECT_EQ(count_calls_while_playing(folder.file("jack.wav")), 0);
  remove_jack_process_hook(&hook);
  unsetenv("JACK_DEFAULT_SERVER");
  EXPECT_GT(hook.cycles.load(), 100);
  EXPECT_EQ(hook.largest_cycle.load(), 256u);
  // The server runs in real-time mode here, and so does the process thread.
  const int policy = fsound_callback_timing().thread_policy();
  EXPECT_TRUE(policy == SCHED_FIFO || policy == SCHED_RR) << policy;
}
}  // namespace
