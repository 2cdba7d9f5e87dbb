// The start-up menus of the program, driven through a pipe on its standard
// input, and the ways a run ends (ESC, end of input, signals).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <regex>
#include <string>
#include <thread>

#include "app_test_support.h"
#include "child_process.h"
#include "leak_suppressions.h"
#include "temp_folder.h"
#include "wav_reading.h"

namespace {
using zem_test::program;
using zem_test::run_program;
using zem_test::temp_folder;

const std::string dashes = "---------------------------------------------------------\n";
const std::string press = "Press a corresponding number or ESC to quit\n";

const std::string banner_and_output_menu =
    "ZEM_ENGINE V4.0\n---------------\n\nInit Sound\n" + dashes + "Output Type\n" + dashes +
    "1 - Direct Sound\n2 - Windows Multimedia Waveout\n3 - ASIO\n4 - NoSound\n" + dashes + press;

const std::string nosound_driver_menu = dashes + "NoSound Driver list\n" + dashes +
                                        "1 - No output\n2 - Record to session.wav\n" + dashes +
                                        press;

off_t file_size(const std::string& path) {
  struct stat s {};
  return stat(path.c_str(), &s) == 0 ? s.st_size : 0;
}

// Waits (at most 20 s) until the file holds at least `bytes` bytes.
bool wait_for_size(const std::string& path, off_t bytes) {
  for (int i = 0; i < 2000; ++i) {
    if (file_size(path) >= bytes) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

TEST(AppMenu, OutputMenuIgnoresOtherKeysAndQuitsOnEscape) {
  temp_folder folder;
  const auto result = run_program(ZEM_PROGRAM, folder.path(),
                                  "a05 \r\n9\033"
                                  "4");
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(result.out, banner_and_output_menu);
}

TEST(AppMenu, EndOfInputAtEitherMenuQuitsWithCodeZero) {
  temp_folder folder;
  auto result = run_program(ZEM_PROGRAM, folder.path(), "");
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(result.out, banner_and_output_menu);

  result = run_program(ZEM_PROGRAM, folder.path(), "4");
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(result.out, banner_and_output_menu + nosound_driver_menu);

  // No standard input at all is the end of input too.
  result = program(ZEM_PROGRAM, folder.path(), {}, true).finish();
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(result.out, banner_and_output_menu);
}

TEST(AppMenu, DriverMenuIgnoresKeysOutsideTheListAndQuitsOnEscape) {
  temp_folder folder;
  // With two drivers, "0", "3", ":" (the key after "9") and a byte above 127
  // select nothing.
  const auto result = run_program(ZEM_PROGRAM, folder.path(),
                                  "403:\xe0\033"
                                  "1");
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(result.out, banner_and_output_menu + nosound_driver_menu);
  EXPECT_FALSE(std::filesystem::exists(folder.file("session.wav")));
}

TEST(AppMenu, AsioOffersOnlyTheDevicesOfJack) {
  temp_folder folder;
  program zem(ZEM_PROGRAM, folder.path(), zem_test::leak_environment(folder.path()));
  zem.type("3\033");
  const auto result = zem.finish();
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_NE(result.out.find(dashes + "ASIO Driver list\n" + dashes), std::string::npos);
}

TEST(AppMenu, SecondDriverRecordsUntilEscapeThenShutsDownInOrder) {
  temp_folder folder;
  program zem(ZEM_PROGRAM, folder.path());
  zem.type("43");  // "3" is ignored: there are two drivers
  zem.type("2");
  const std::string wav = folder.file("session.wav");
  ASSERT_TRUE(wait_for_size(wav, 44 + 44100 * 4 / 2)) << "no recording after 20 s";
  zem.type("x\033");
  const auto result = zem.finish();
  EXPECT_EQ(result.exit_code, 0);
  const std::string menus = banner_and_output_menu + nosound_driver_menu;
  ASSERT_EQ(result.out.substr(0, menus.size()), menus);
  EXPECT_TRUE(
      std::regex_match(result.out.substr(menus.size()), std::regex("Late audio blocks: [0-9]+\n")))
      << result.out;
  const auto recording = zem_test::read_wav(wav);
  ASSERT_TRUE(recording.valid);
  EXPECT_EQ(recording.rate, 44100u);
  EXPECT_EQ(recording.channels, 2);
  EXPECT_EQ(recording.bits, 16);
  EXPECT_EQ(recording.file_size, 44 + size_t{recording.data_size});
  // The five instruments play: the recording is not silent.
  int peak = 0;
  for (int16_t s : recording.samples) peak = std::max(peak, std::abs(int{s}));
  EXPECT_GT(peak, 1000);
}

TEST(AppMenu, TerminationSignalWhilePlayingShutsDownInOrder) {
  for (int signal : {SIGTERM, SIGINT}) {
    temp_folder folder;
    program zem(ZEM_PROGRAM, folder.path());
    zem.type("42");
    ASSERT_TRUE(wait_for_size(folder.file("session.wav"), 44 + 4 * 4096));
    zem.signal(signal);
    const auto result = zem.finish();
    EXPECT_EQ(result.exit_code, 0) << "signal " << signal;
    EXPECT_NE(result.out.find("Late audio blocks: "), std::string::npos);
    EXPECT_TRUE(zem_test::read_wav(folder.file("session.wav")).valid);
  }
}

TEST(AppMenu, EndOfInputWhilePlayingKeepsPlayingUntilASignal) {
  temp_folder folder;
  program zem(ZEM_PROGRAM, folder.path());
  zem.type("42");
  zem.end_input();
  const std::string wav = folder.file("session.wav");
  ASSERT_TRUE(wait_for_size(wav, 44 + 4 * 4096));
  const off_t before = file_size(wav);
  EXPECT_TRUE(wait_for_size(wav, before + 4 * 4096)) << "the recording stopped";
  zem.signal(SIGTERM);
  EXPECT_EQ(zem.finish().exit_code, 0);
}

TEST(AppMenu, KilledWhileRecordingLeavesAPlayableFile) {
  temp_folder folder;
  program zem(ZEM_PROGRAM, folder.path());
  zem.type("42");
  const std::string wav = folder.file("session.wav");
  ASSERT_TRUE(wait_for_size(wav, 44 + 44100));
  zem.signal(SIGKILL);
  const auto result = zem.finish();
  EXPECT_EQ(result.signal, SIGKILL);
  const auto recording = zem_test::read_wav(wav);
  ASSERT_TRUE(recording.valid);
  EXPECT_GE(recording.data_size, 44100u);
  EXPECT_EQ(recording.data_size % 4, 0u);
}
}  // namespace
