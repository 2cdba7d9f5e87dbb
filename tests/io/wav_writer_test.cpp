// The WAV writer: a valid header after every block, the frames as given, and
// no partial file left behind whatever fails when it replaces a destination.
// (A writer in place killed at random moments: tests/app, AppWavWriter.)
#include "wav_writer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "temp_folder.h"
#include "wav_reading.h"

using zem_test::read_file;
using zem_test::read_wav_samples;
using zem_test::temp_folder;

TEST(WavFile, HeaderOfAKnownLength) {
  const auto header = wav_header(44100, 3);
  const std::string bytes(header.begin(), header.end());
  EXPECT_EQ(bytes.substr(0, 4), "RIFF");
  EXPECT_EQ(zem_test::u32_at(bytes, 4), 36u + 12u);
  EXPECT_EQ(zem_test::u32_at(bytes, 40), 12u);
  EXPECT_EQ(zem_test::u32_at(bytes, 24), 44100u);
  EXPECT_EQ(zem_test::u16_at(bytes, 22), 2u);
  EXPECT_EQ(zem_test::u16_at(bytes, 34), 16u);
  // The largest data chunk still fits the 32-bit RIFF size.
  const auto largest = wav_header(44100, uint32_t(wav_max_frames));
  EXPECT_EQ(zem_test::u32_at(std::string(largest.begin(), largest.end()), 4),
            36u + uint32_t(wav_max_frames) * 4u);
  EXPECT_GT(36 + (wav_max_frames + 1) * 4, 0xFFFFFFFFull);
}

TEST(WavFile, CommitWritesTheFramesAsGivenAndReplacesTheFile) {
  temp_folder folder;
  const std::string path = folder.file("out.wav");
  {
    std::ofstream old(path);
    old << "an older file";
  }
  const int16_t first[] = {1, -1, 32767, -32768};
  const int16_t second[] = {300, -300};
  wav_writer writer;
  ASSERT_TRUE(writer.open(path, 44100, wav_writer::placement::replace)) << writer.error();
  ASSERT_TRUE(writer.append(first, 2)) << writer.error();
  ASSERT_TRUE(writer.append(second, 1)) << writer.error();
  EXPECT_EQ(read_file(path), "an older file") << "the destination changes only at commit";
  ASSERT_TRUE(writer.finish()) << writer.error();
  EXPECT_EQ(read_wav_samples(path), (std::vector<int16_t>{1, -1, 32767, -32768, 300, -300}));
  EXPECT_EQ(folder.entries(), std::vector<std::string>{"out.wav"});
}

TEST(WavFile, EmptyRenderIsAValidFile) {
  temp_folder folder;
  wav_writer writer;
  ASSERT_TRUE(writer.open(folder.file("empty.wav"), 44100, wav_writer::placement::replace) &&
              writer.finish())
      << writer.error();
  EXPECT_TRUE(read_wav_samples(folder.file("empty.wav")).empty());
}

TEST(WavFile, NothingIsLeftWhenTheWriterIsAbandoned) {
  temp_folder folder;
  {
    wav_writer writer;
    const int16_t frame[] = {5, 5};
    ASSERT_TRUE(writer.open(folder.file("out.wav"), 44100, wav_writer::placement::replace) &&
                writer.append(frame, 1))
        << writer.error();
    EXPECT_EQ(folder.entries().size(), 1u) << "the temporary file exists while writing";
  }
  EXPECT_TRUE(folder.entries().empty());
}

TEST(WavFile, FailuresAreReportedAndLeaveNothing) {
  temp_folder folder;
  constexpr auto replace = wav_writer::placement::replace;
  wav_writer in_missing_folder;
  EXPECT_FALSE(in_missing_folder.open(folder.file("no/such/folder/out.wav"), 44100, replace));
  EXPECT_NE(in_missing_folder.error().find("cannot write"), std::string::npos);
  EXPECT_EQ(in_missing_folder.error().find('\n'), std::string::npos);

  // The destination is a folder: the final rename fails after all the writing.
  std::filesystem::create_directory(folder.file("taken.wav"));
  std::filesystem::create_directory(folder.file("taken.wav/inside"));
  wav_writer onto_folder;
  ASSERT_TRUE(onto_folder.open(folder.file("taken.wav"), 44100, replace)) << onto_folder.error();
  const int16_t frame[] = {1, 2};
  ASSERT_TRUE(onto_folder.append(frame, 1)) << onto_folder.error();
  EXPECT_FALSE(onto_folder.finish());
  EXPECT_FALSE(onto_folder.error().empty());
  EXPECT_EQ(folder.entries(), std::vector<std::string>{"taken.wav"});

  wav_writer without_name;
  EXPECT_FALSE(without_name.open(folder.file(""), 44100, replace));
  EXPECT_EQ(folder.entries(), std::vector<std::string>{"taken.wav"});
}

// Whatever the placement, the file being written is a valid WAV file after
// every block. In place it is the destination itself, and it stays when the
// writer is closed without finishing.
TEST(WavWriter, EveryBlockLeavesAValidFile) {
  const int16_t block[] = {7, -7, 1000, -1000};
  const struct {
    wav_writer::placement where;
    bool in_place;
  } cases[] = {{wav_writer::placement::in_place, true}, {wav_writer::placement::replace, false}};
  for (const auto& c : cases) {
    temp_folder folder;
    wav_writer writer;
    ASSERT_TRUE(writer.open(folder.file("out.wav"), 22050, c.where)) << writer.error();
    for (size_t blocks = 1; blocks <= 3; ++blocks) {
      ASSERT_TRUE(writer.append(block, 2)) << writer.error();
      const std::vector<std::string> entries = folder.entries();
      ASSERT_EQ(entries.size(), 1u);
      EXPECT_EQ(entries[0] == "out.wav", c.in_place);
      const auto wav = zem_test::read_wav(folder.file(entries[0]));
      ASSERT_TRUE(wav.valid) << entries[0] << " after block " << blocks;
      EXPECT_EQ(wav.rate, 22050u);
      EXPECT_EQ(wav.samples.size(), blocks * 4);
    }
    writer.close();
    EXPECT_EQ(folder.entries().size(), c.in_place ? 1u : 0u);
  }
}
