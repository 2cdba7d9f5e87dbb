// The WAV writer: a valid header, the frames as given, and no partial file
// left behind whatever fails.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "temp_folder.h"
#include "wav_file.h"
#include "wav_reading.h"

using zem_test::read_file;
using zem_test::read_wav_samples;
using zem_test::temp_folder;

TEST(WavFile, HeaderOfAKnownLength) {
  const auto header = wav_header(3);
  const std::string bytes(header.begin(), header.end());
  EXPECT_EQ(bytes.substr(0, 4), "RIFF");
  EXPECT_EQ(zem_test::u32_at(bytes, 4), 36u + 12u);
  EXPECT_EQ(zem_test::u32_at(bytes, 40), 12u);
  EXPECT_EQ(zem_test::u32_at(bytes, 24), 44100u);
  EXPECT_EQ(zem_test::u16_at(bytes, 22), 2u);
  EXPECT_EQ(zem_test::u16_at(bytes, 34), 16u);
  // The largest data chunk still fits the 32-bit RIFF size.
  const auto largest = wav_header(uint32_t(wav_max_frames));
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
  WAV_WRITER writer(path);
  std::string error;
  ASSERT_TRUE(writer.open(error)) << error;
  ASSERT_TRUE(writer.write_frames(first, 2, error)) << error;
  ASSERT_TRUE(writer.write_frames(second, 1, error)) << error;
  EXPECT_EQ(read_file(path), "an older file") << "the destination changes only at commit";
  ASSERT_TRUE(writer.commit(error)) << error;
  EXPECT_EQ(read_wav_samples(path), (std::vector<int16_t>{1, -1, 32767, -32768, 300, -300}));
  EXPECT_EQ(folder.entries(), std::vector<std::string>{"out.wav"});
}

TEST(WavFile, EmptyRenderIsAValidFile) {
  temp_folder folder;
  WAV_WRITER writer(folder.file("empty.wav"));
  std::string error;
  ASSERT_TRUE(writer.open(error) && writer.commit(error)) << error;
  EXPECT_TRUE(read_wav_samples(folder.file("empty.wav")).empty());
}

TEST(WavFile, NothingIsLeftWhenTheWriterIsAbandoned) {
  temp_folder folder;
  {
    WAV_WRITER writer(folder.file("out.wav"));
    std::string error;
    const int16_t frame[] = {5, 5};
    ASSERT_TRUE(writer.open(error) && writer.write_frames(frame, 1, error)) << error;
    EXPECT_EQ(folder.entries().size(), 1u) << "the temporary file exists while writing";
  }
  EXPECT_TRUE(folder.entries().empty());
}

TEST(WavFile, FailuresAreReportedAndLeaveNothing) {
  temp_folder folder;
  std::string error;
  WAV_WRITER in_missing_folder(folder.file("no/such/folder/out.wav"));
  EXPECT_FALSE(in_missing_folder.open(error));
  EXPECT_NE(error.find("cannot write"), std::string::npos);
  EXPECT_EQ(error.find('\n'), std::string::npos);

  // The destination is a folder: the final rename fails after all the writing.
  std::filesystem::create_directory(folder.file("taken.wav"));
  std::filesystem::create_directory(folder.file("taken.wav/inside"));
  WAV_WRITER onto_folder(folder.file("taken.wav"));
  ASSERT_TRUE(onto_folder.open(error)) << error;
  const int16_t frame[] = {1, 2};
  ASSERT_TRUE(onto_folder.write_frames(frame, 1, error)) << error;
  error.clear();
  EXPECT_FALSE(onto_folder.commit(error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(folder.entries(), std::vector<std::string>{"taken.wav"});

  WAV_WRITER without_name(folder.file(""));
  EXPECT_FALSE(without_name.open(error));
  EXPECT_EQ(folder.entries(), std::vector<std::string>{"taken.wav"});
}
