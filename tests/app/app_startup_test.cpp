// The start-up spine: the five instruments in their numbering and list order,
// the failures of stream creation and start with their messages and exit
// codes, and a failed initialisation of the audio layer.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "app_test_support.h"
#include "child_process.h"
#include "fsound.h"
#include "fsound_test.h"
#include "init_sound.h"
#include "osc.h"
#include "startup.h"
#include "tb303.h"
#include "tb808.h"

namespace {
using app_test::has_played;
using app_test::start_nosound;
using zem_test::run_in_child;

TEST(AppStartup, InstrumentsAreNumberedInConstructionOrderAndListedInTheirOwn) {
  instrument_counter = 0;
  tempo = 133;
  build_instruments();
  struct expected {
    const char* name;
    int number;
  };
  const expected list[instrument_count] = {
      {"TB303", 1}, {"TB808", 0}, {"OSC", 2}, {"TB303", 3}, {"TB808", 4}};
  for (int i = 0; i < instrument_count; ++i) {
    EXPECT_STREQ(instrument_list[i]->engine_name, list[i].name) << i;
    EXPECT_EQ(instrument_list[i]->instrument_number, list[i].number) << i;
  }
  EXPECT_NE(dynamic_cast<TB303*>(instrument_list[0]), nullptr);
  EXPECT_NE(dynamic_cast<TB808*>(instrument_list[1]), nullptr);
  EXPECT_NE(dynamic_cast<OSC*>(instrument_list[2]), nullptr);
}

TEST(AppStartup, FailedStreamCreationPrintsTheErrorAndExitsWithOne) {
  const auto result = run_in_child([] {
    start_nosound();
    build_instruments();
    fsound_test_fail_next(fsound_fault::stream_create, FSOUND_ERR_MEMORY, 2);
    // Reports which instruments got a stream before the process ended.
    std::atexit([] {
      std::printf("handles");
      for (INSTRUMENT* instrument : instrument_list)
        std::printf(" %d", instrument->stream_handle != nullptr);
      std::printf("\n");
    });
    create_streams();
  });
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.out, "Error!\nNot enough memory \nhandles 1 1 0 0 0\n");
}

TEST(AppStartup, FailedStartOfTheThirdChannelLeavesTheFirstTwoPlaying) {
  const auto result = run_in_child([] {
    start_nosound();
    build_instruments();
    create_streams();
    fsound_test_fail_next(fsound_fault::stream_play, FSOUND_ERR_PLAY, 2);
    std::atexit([] {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      std::printf("played");
      for (INSTRUMENT* instrument : instrument_list) std::printf(" %d", has_played(instrument));
      std::printf("\n");
    });
    start_streams();
  });
  EXPECT_EQ(result.exit_code, 1);
  // Channel 0 plays instrument_list[0], channel 1 instrument_list[3].
  EXPECT_EQ(result.out, "Error!\nPlaying the sound failed.\nplayed 1 0 0 1 0\n");
}

TEST(AppStartup, AllFiveStreamsPlayOnceStarted) {
  const auto result = run_in_child([] {
    start_nosound();
    build_instruments();
    create_streams();
    start_streams();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    for (INSTRUMENT* instrument : instrument_list) std::printf("%d", has_played(instrument));
    shut_down();
  });
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(result.out.substr(0, 5), "11111");
  EXPECT_NE(result.out.find("Late audio blocks: "), std::string::npos);
}

TEST(AppStartup, FailedInitialisationPrintsBothMessagesAndExitsWithMinusOne) {
  const auto result = run_in_child(
      [] {
        fsound_test_fail_next(fsound_fault::init, FSOUND_ERR_OUTPUT_BUSY);
        start_sound();
      },
      "41");
  EXPECT_EQ(result.exit_code, 255);
  const std::string end =
      "1 - No output\n2 - Record to session.wav\n"
      "---------------------------------------------------------\n"
      "Press a corresponding number or ESC to quit\n"
      "Error!\nThe output device is already in use and cannot be reused.\n"
      "Erreur d'initialisatio du son\n";
  ASSERT_GE(result.out.size(), end.size());
  EXPECT_EQ(result.out.substr(result.out.size() - end.size()), end);
}

TEST(AppStartup, TempoIsSetBeforeAnyInstrumentExists) {
  const auto result = run_in_child(
      [] {
        tempo = 90;
        start_sound();
        std::printf("tempo %d\n", tempo);
        FSOUND_Close();
      },
      "41");
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_NE(result.out.find("tempo 133\n"), std::string::npos);
}

TEST(AppStartupTables, ErrorTextCoversEveryCodeAndNothingElse) {
  EXPECT_STREQ(error_text(0), "No errors");
  EXPECT_STREQ(error_text(1),
               "Cannot call this command after FSOUND_Init.  Call FSOUND_Close first.");
  EXPECT_STREQ(error_text(2), "This command failed because FSOUND_Init was not called");
  EXPECT_STREQ(error_text(3), "Error initializing output device.");
  EXPECT_STREQ(error_text(4), "The output device is already in use and cannot be reused.");
  EXPECT_STREQ(error_text(5), "Playing the sound failed.");
  EXPECT_STREQ(error_text(6),
               "Soundcard does not support the features needed for this soundsystem (16bit "
               "stereo output)");
  EXPECT_STREQ(error_text(7), "Error setting cooperative level for hardware.");
  EXPECT_STREQ(error_text(8), "Error creating hardware sound buffer.");
  EXPECT_STREQ(error_text(9), "File not found");
  EXPECT_STREQ(error_text(10), "Unknown file format");
  EXPECT_STREQ(error_text(11), "Error loading file");
  EXPECT_STREQ(error_text(12), "Not enough memory ");
  EXPECT_STREQ(error_text(13), "The version number of this file format is not supported");
  EXPECT_STREQ(error_text(14), "An invalid parameter was passed to this function");
  EXPECT_STREQ(error_text(15),
               "Tried to use an EAX command on a non EAX enabled channel or output.");
  EXPECT_STREQ(error_text(16), "Failed to allocate a new channel");
  EXPECT_STREQ(error_text(17), "Recording not supported on this device");
  EXPECT_STREQ(error_text(18), "Required Mediaplayer codec is not installed");
  for (unsigned int code : {19u, 20u, 255u, 0x80000000u, 0xFFFFFFFFu})
    EXPECT_STREQ(error_text(code), "Unknown error") << code;
}

TEST(AppStartupTables, OutputNamesAndMenuKeys) {
  const char* names[] = {"NoSound",
                         "Windows Multimedia Waveout",
                         "Direct Sound",
                         "",
                         "Open Sound System",
                         "Enlightment Sound Daemon",
                         "Alsa",
                         "ASIO",
                         ""};
  for (int code = 0; code < 9; ++code) EXPECT_STREQ(output_name(code), names[code]) << code;
  EXPECT_STREQ(output_name(-1), "");

  EXPECT_EQ(output_for_key('1'), FSOUND_OUTPUT_DIRECT_SOUND);
  EXPECT_EQ(output_for_key('2'), FSOUND_OUTPUT_WAVEOUT);
  EXPECT_EQ(output_for_key('3'), FSOUND_OUTPUT_ASIO);
  EXPECT_EQ(output_for_key('4'), FSOUND_OUTPUT_NOSOUND);
  for (int key : {int{'0'}, int{'5'}, int{'a'}, 27, 0, 255})
    EXPECT_EQ(output_for_key(key), -1) << key;
}

TEST(AppStartupTables, DriverKeysGoOnPastNineInCharacterOrder) {
  EXPECT_EQ(driver_for_key('1', 2), 0);
  EXPECT_EQ(driver_for_key('2', 2), 1);
  EXPECT_EQ(driver_for_key('3', 2), -1);
  EXPECT_EQ(driver_for_key('0', 2), -1);
  EXPECT_EQ(driver_for_key('1', 0), -1);
  EXPECT_EQ(driver_for_key(':', 10), 9);  // the key after "9"
  EXPECT_EQ(driver_for_key(':', 9), -1);
  EXPECT_EQ(driver_for_key('A', 20), 16);
  // Bytes above 127 are negative characters: never a driver.
  EXPECT_EQ(driver_for_key(0xE0, 1000), -1);
  EXPECT_EQ(driver_for_key(0xFF, 1000), -1);
}
}  // namespace
