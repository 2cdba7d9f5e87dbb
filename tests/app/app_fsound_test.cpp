// The audio layer: the rules of its calls, the mixing core, the pace of the
// "NoSound" output and its WAV recording.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <thread>
#include <vector>

#include "app_test_support.h"
#include "fsound.h"
#include "stream_callback.h"
#include "stream_mixer.h"
#include "tb303.h"
#include "temp_folder.h"
#include "wav_reading.h"
#include "wav_writer.h"

namespace {
using app_test::start_nosound;
using zem_test::temp_folder;

constexpr unsigned int mode = app_test::stream_mode;

// A stream whose every frame is (left, right).
struct constant_source {
  int16_t left, right;
};
signed char constant_callback(FSOUND_STREAM*, void* buffer, int length, void* user) {
  const auto* source = static_cast<const constant_source*>(user);
  auto* samples = static_cast<int16_t*>(buffer);
  for (int i = 0; i < length / 4; ++i) {
    samples[2 * i] = source->left;
    samples[2 * i + 1] = source->right;
  }
  return 1;
}

// A stream that counts its frames: frame n is (n, -n) modulo 16 bits.
struct counting_source {
  std::atomic<uint64_t> frames{0};
};
signed char counting_callback(FSOUND_STREAM*, void* buffer, int length, void* user) {
  auto* source = static_cast<counting_source*>(user);
  auto* samples = static_cast<int16_t*>(buffer);
  uint64_t n = source->frames.load();
  for (int i = 0; i < length / 4; ++i, ++n) {
    samples[2 * i] = static_cast<int16_t>(n);
    samples[2 * i + 1] = static_cast<int16_t>(-static_cast<int16_t>(n));
  }
  source->frames.store(n);
  return 1;
}

signed char silent_callback(FSOUND_STREAM*, void*, int, void*) {
  return 1;
}

// Every test leaves the layer closed, whatever happened.
class AppFsound : public ::testing::Test {
 protected:
  void TearDown() override { FSOUND_Close(); }
};

TEST_F(AppFsound, VersionAndNoSoundDrivers) {
  EXPECT_EQ(FSOUND_GetVersion(), 3.74f);
  ASSERT_TRUE(FSOUND_SetOutput(FSOUND_OUTPUT_NOSOUND));
  EXPECT_EQ(FSOUND_GetOutput(), FSOUND_OUTPUT_NOSOUND);
  ASSERT_EQ(FSOUND_GetNumDrivers(), 2);
  EXPECT_STREQ(FSOUND_GetDriverName(0), "No output");
  EXPECT_STREQ(FSOUND_GetDriverName(1), "Record to session.wav");
  EXPECT_EQ(FSOUND_GetDriverName(2), nullptr);
  EXPECT_EQ(FSOUND_GetDriverName(-1), nullptr);
  EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_INVALID_PARAM);
  EXPECT_FALSE(FSOUND_SetDriver(2));
  EXPECT_FALSE(FSOUND_SetOutput(3));
  EXPECT_EQ(FSOUND_GetOutput(), FSOUND_OUTPUT_NOSOUND);
  EXPECT_FALSE(FSOUND_SetOutput(99));
}

TEST_F(AppFsound, StreamsNeedAnInitialisedLayer) {
  constant_source source{1, 1};
  EXPECT_EQ(FSOUND_Stream_Create(constant_callback, 65536, mode, 44100, &source), nullptr);
  EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_NOT_INITIALISED);
  EXPECT_EQ(FSOUND_Stream_Play(0, nullptr), -1);
  EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_NOT_INITIALISED);
}

TEST_F(AppFsound, SelectionIsFixedOnceInitialised) {
  start_nosound();
  EXPECT_FALSE(FSOUND_SetOutput(FSOUND_OUTPUT_NOSOUND));
  EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_AFTER_INIT);
  EXPECT_FALSE(FSOUND_SetDriver(1));
  EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_AFTER_INIT);
  EXPECT_FALSE(FSOUND_Init(44100, 32, 0));
  EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_AFTER_INIT);
  // After FSOUND_Close the layer can be set up again.
  FSOUND_Close();
  start_nosound(0);
}

TEST_F(AppFsound, InitRejectsImpossibleSettings) {
  ASSERT_TRUE(FSOUND_SetOutput(FSOUND_OUTPUT_NOSOUND));
  EXPECT_FALSE(FSOUND_Init(0, 32, 0));
  EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_INVALID_PARAM);
  EXPECT_FALSE(FSOUND_Init(44100, 0, 0));
  EXPECT_FALSE(FSOUND_Init(44100, 65, 0));
  // A system without drivers cannot be opened.
  ASSERT_TRUE(FSOUND_SetOutput(FSOUND_OUTPUT_ESD));
  EXPECT_EQ(FSOUND_GetNumDrivers(), 0);
  EXPECT_FALSE(FSOUND_Init(44100, 32, 0));
  EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_INIT_OUTPUT);
}

TEST_F(AppFsound, RecordingThatCannotBeWrittenFailsToInitialise) {
  temp_folder folder(true);
  std::filesystem::create_directory("session.wav");  // a folder stands in the way
  ASSERT_TRUE(FSOUND_SetOutput(FSOUND_OUTPUT_NOSOUND));
  ASSERT_TRUE(FSOUND_SetDriver(1));
  EXPECT_FALSE(FSOUND_Init(44100, 32, 0));
  EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_INIT_OUTPUT);
}

TEST_F(AppFsound, StreamCallsCheckTheirArguments) {
  start_nosound();
  constant_source source{1, 1};
  EXPECT_EQ(FSOUND_Stream_Create(nullptr, 65536, mode, 44100, &source), nullptr);
  EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_INVALID_PARAM);
  EXPECT_EQ(FSOUND_Stream_Create(constant_callback, 65536, mode & ~0x10u, 44100, &source), nullptr);
  EXPECT_EQ(FSOUND_Stream_Create(constant_callback, 65536, mode & ~0x40u, 44100, &source), nullptr);
  EXPECT_EQ(FSOUND_Stream_Create(constant_callback, 65536, mode, 22050, &source), nullptr);
  EXPECT_EQ(FSOUND_Stream_Create(constant_callback, 0, mode, 44100, &source), nullptr);

  FSOUND_STREAM* a = FSOUND_Stream_Create(constant_callback, 65536, mode, 44100, &source);
  FSOUND_STREAM* b = FSOUND_Stream_Create(constant_callback, 65536, mode, 44100, &source);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(FSOUND_Stream_Play(32, a), -1);  // 32 channels: 0 to 31
  EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_INVALID_PARAM);
  EXPECT_EQ(FSOUND_Stream_Play(-1, a), -1);
  EXPECT_EQ(FSOUND_Stream_Play(31, a), 31);
  EXPECT_EQ(FSOUND_Stream_Play(31, b), -1);  // the channel is taken
  EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_CHANNEL_ALLOC);
  EXPECT_EQ(FSOUND_Stream_Play(3, a), -1);  // a stream plays on one channel
  EXPECT_EQ(FSOUND_Stream_Play(31, a), 31);
  EXPECT_TRUE(FSOUND_Stream_Close(a));
  EXPECT_EQ(FSOUND_Stream_Play(31, b), 31);  // free again
  EXPECT_FALSE(FSOUND_Stream_Close(a));      // already closed
  EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_INVALID_PARAM);
  EXPECT_EQ(FSOUND_Stream_Play(0, a), -1);
  EXPECT_FALSE(FSOUND_Stream_Close(nullptr));
}

// About 44100 frames a second, measured over two seconds. The tolerance is
// wide: a loaded machine may delay the start, never the long-run pace.
TEST_F(AppFsound, NoSoundPullsAtTheRealTimeRate) {
  start_nosound();
  counting_source source;
  FSOUND_STREAM* stream = FSOUND_Stream_Create(counting_callback, 65536, mode, 44100, &source);
  ASSERT_EQ(FSOUND_Stream_Play(0, stream), 0);
  while (source.frames.load() == 0) std::this_thread::yield();
  const uint64_t first = source.frames.load();
  const auto start = std::chrono::steady_clock::now();
  std::this_thread::sleep_for(std::chrono::seconds(2));
  const uint64_t frames = source.frames.load() - first;
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double rate = static_cast<double>(frames) / seconds;
  EXPECT_GT(rate, 44100 * 0.8);
  EXPECT_LT(rate, 44100 * 1.2);
}

// stream_callback around one bass line, counting the frames it was asked for.
std::atomic<uint64_t> bass_frames{0};
signed char counted_stream_callback(FSOUND_STREAM* stream, void* buffer, int length, void* user) {
  bass_frames += static_cast<uint64_t>(length / 4);
  return stream_callback(stream, buffer, length, user);
}

// The recording of a single bass line holds exactly what its render makes from
// the same start, rendered directly in buffers of 65536 bytes; the rest of the
// file (before the stream started and after it stopped) is silence.
TEST_F(AppFsound, RecordingHoldsExactlyTheFramesOfTheEngine) {
  temp_folder folder(true);
  tempo = 133;
  // The bass line fills its patterns with random notes: both start from the same.
  std::srand(7);
  TB303 played;
  std::srand(7);
  TB303 direct;
  start_nosound(1);
  FSOUND_STREAM* stream = FSOUND_Stream_Create(counted_stream_callback, 65536, mode, 44100,
                                               static_cast<INSTRUMENT*>(&played));
  ASSERT_EQ(FSOUND_Stream_Play(0, stream), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(600));
  ASSERT_TRUE(FSOUND_Stream_Close(stream));
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  FSOUND_Close();
  const uint64_t frames = bass_frames.load();
  ASSERT_GT(frames, 44100u / 4);

  std::vector<int16_t> expected(frames * 2);
  for (uint64_t done = 0; done < frames;) {
    const uint64_t n = std::min<uint64_t>(frames - done, 16384);
    direct.render(nullptr, expected.data() + done * 2, static_cast<int>(n * 4), &direct);
    done += n;
  }

  const auto wav = zem_test::read_wav("session.wav");
  ASSERT_TRUE(wav.valid);
  EXPECT_EQ(wav.rate, 44100u);
  ASSERT_GE(wav.samples.size(), expected.size());
  // The stream started at a block boundary after some blocks of silence.
  const size_t block = fsound_block_frames * 2;
  bool found = false;
  for (size_t start = 0; !found && start + expected.size() <= wav.samples.size(); start += block) {
    if (!std::equal(expected.begin(), expected.end(),
                    wav.samples.begin() + static_cast<long>(start)))
      continue;
    found = true;
    const auto silent = [](int16_t s) { return s == 0; };
    EXPECT_TRUE(
        std::all_of(wav.samples.begin(), wav.samples.begin() + static_cast<long>(start), silent));
    EXPECT_TRUE(std::all_of(wav.samples.begin() + static_cast<long>(start + expected.size()),
                            wav.samples.end(), silent));
  }
  if (!found) {
    // Where it differs, from the first sound of the recording on.
    const auto sound =
        std::find_if(wav.samples.begin(), wav.samples.end(), [](int16_t s) { return s != 0; });
    const size_t start = static_cast<size_t>(sound - wav.samples.begin()) / block * block;
    size_t differs = 0;
    while (differs < expected.size() && start + differs < wav.samples.size() &&
           wav.samples[start + differs] == expected[differs])
      ++differs;
    ADD_FAILURE() << "the recording does not hold the engine's frames: from sample " << start
                  << " on it holds the first " << differs << " of " << expected.size();
  }
}

// A writer appending as fast as it can is killed at random moments: whenever
// it dies, the header states sizes that agree with each other and hold every
// block but at most the one being written, and the data is what was appended.
TEST(AppWavWriter, HeaderIsConsistentWheneverTheWriterIsKilled) {
  temp_folder folder;
  const std::string path = folder.file("kill.wav");
  int16_t block[fsound_block_frames * 2];
  for (int i = 0; i < fsound_block_frames * 2; ++i) block[i] = static_cast<int16_t>(i - 100);
  for (int trial = 0; trial < 40; ++trial) {
    int opened[2];
    ASSERT_EQ(pipe(opened), 0);
    const pid_t pid = fork();
    if (pid == 0) {
      wav_writer writer;
      if (!writer.open(path, 44100, wav_writer::placement::in_place)) _exit(1);
      [[maybe_unused]] const ssize_t n = write(opened[1], "", 1);
      for (;;) writer.append(block, fsound_block_frames);
    }
    ASSERT_GT(pid, 0);
    close(opened[1]);
    char byte;
    [[maybe_unused]] const ssize_t n = read(opened[0], &byte, 1);  // the header is written
    close(opened[0]);
    std::this_thread::sleep_for(std::chrono::microseconds(2000 + 977 * (trial % 13)));
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer could not open its file";
    const auto wav = zem_test::read_wav(path);
    ASSERT_TRUE(wav.valid) << "trial " << trial << ": RIFF size " << wav.riff_size << ", data size "
                           << wav.data_size << ", file size " << wav.file_size;
    EXPECT_EQ(wav.rate, 44100u);
    EXPECT_EQ(wav.channels, 2);
    EXPECT_EQ(wav.bits, 16);
    EXPECT_EQ(wav.data_size % sizeof block, 0u);
    EXPECT_LE(wav.file_size - 44 - wav.data_size, sizeof block);
    for (size_t i = 0; i < wav.samples.size(); ++i)
      ASSERT_EQ(wav.samples[i], block[i % (fsound_block_frames * 2)]) << i;
  }
}

// The mixing core, driven directly on the test thread.
TEST(AppStreamMixer, SumsSaturateAtTheSixteenBitRange) {
  stream_mixer mixer;
  constant_source high{30000, -30000}, more{30000, -30000}, low{-5000, 5000};
  FSOUND_STREAM a{constant_callback, &high}, b{constant_callback, &more},
      c{constant_callback, &low};
  ASSERT_TRUE(mixer.attach(0, &a));
  ASSERT_TRUE(mixer.attach(5, &b));
  constexpr int pull = fsound_block_frames + fsound_block_frames / 2;
  int16_t out[2 * pull];
  mixer.fill(out, pull);
  for (int i = 0; i < pull; ++i) {
    EXPECT_EQ(out[2 * i], 32767);
    EXPECT_EQ(out[2 * i + 1], -32768);
  }
  ASSERT_TRUE(mixer.attach(63, &c));
  mixer.detach(&b);
  mixer.fill(out, pull);
  // The first half block comes from the block mixed before the change.
  constexpr int left_over = fsound_block_frames / 2;
  EXPECT_EQ(out[2 * (left_over - 1)], 32767);
  EXPECT_EQ(out[2 * left_over], 25000);
  EXPECT_EQ(out[2 * (pull - 1) + 1], -25000);
  EXPECT_FALSE(mixer.attach(63, &b));  // taken
  EXPECT_FALSE(mixer.attach(64, &b));
}

TEST(AppStreamMixer, UnevenPullsGiveTheSameFramesAsWholeBlocks) {
  stream_mixer mixer;
  counting_source source;
  FSOUND_STREAM stream{counting_callback, &source};
  mixer.attach(0, &stream);
  std::vector<int16_t> out;
  for (size_t n : {1, 127, 128, 129, 255, 256, 257, 7, 1000, 30}) {
    std::vector<int16_t> part(n * 2);
    mixer.fill(part.data(), n);
    out.insert(out.end(), part.begin(), part.end());
  }
  for (size_t i = 0; i < out.size() / 2; ++i) {
    ASSERT_EQ(out[2 * i], static_cast<int16_t>(i)) << i;
    ASSERT_EQ(out[2 * i + 1], static_cast<int16_t>(-static_cast<int16_t>(i))) << i;
  }
  EXPECT_EQ(mixer.frames_out(), out.size() / 2);
}

TEST(AppStreamMixer, StreamThatWritesNothingIsSilentNotARepeat) {
  stream_mixer mixer;
  constant_source loud{1000, 1000};
  FSOUND_STREAM stream{constant_callback, &loud};
  mixer.attach(0, &stream);
  int16_t out[2 * fsound_block_frames];
  mixer.fill(out, fsound_block_frames);
  EXPECT_EQ(out[0], 1000);
  stream.callback = silent_callback;
  mixer.fill(out, fsound_block_frames);
  EXPECT_TRUE(std::all_of(std::begin(out), std::end(out), [](int16_t s) { return s == 0; }));
}
}  // namespace

// Streams attached while the mixer is held begin in the same block, which is
// frame 0 for the block listeners.
TEST(AppStreamMixer, StreamsAttachedWhileHeldBeginTogether) {
  struct first_frames : rack_block_listener {
    std::vector<uint64_t> seen;
    void before_block(uint64_t first_frame, int) override { seen.push_back(first_frame); }
    void after_block(uint64_t, int16_t*, int) override {}
  } listener;
  stream_mixer mixer;
  mixer.listeners().add(&listener);
  constant_source one{1, 1}, two{2, 2};
  FSOUND_STREAM a{constant_callback, &one}, b{constant_callback, &two};
  int16_t out[2 * fsound_block_frames];
  mixer.fill(out, fsound_block_frames);
  mixer.hold();
  mixer.attach(0, &a);
  mixer.fill(out, fsound_block_frames);
  EXPECT_EQ(out[0], 0);  // held: silence, nobody pulled
  mixer.attach(1, &b);
  mixer.release();
  mixer.fill(out, fsound_block_frames);
  EXPECT_EQ(out[0], 3);
  EXPECT_EQ(listener.seen, (std::vector<uint64_t>{0, 0}));
}
