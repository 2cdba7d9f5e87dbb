#pragma once
// Helpers shared by the zem-render tests: a scratch folder, a WAV reader that
// checks the header, and running the zem-render program as a subprocess.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern char** environ;

namespace render_test {

// A fresh folder, removed with its contents at the end of the test.
class scratch_folder {
 public:
  scratch_folder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zem-render-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed";
    path_ = pattern;
  }
  ~scratch_folder() { std::filesystem::remove_all(path_); }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& path() const { return path_; }
  std::vector<std::string> entries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_))
      names.push_back(entry.path().filename().string());
    return names;
  }

 private:
  std::filesystem::path path_;
};

inline std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline uint32_t u32_at(const std::string& bytes, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(bytes[at + i]);
  return v;
}

inline uint16_t u16_at(const std::string& bytes, size_t at) {
  return static_cast<uint16_t>(static_cast<uint8_t>(bytes[at]) |
                               (static_cast<uint8_t>(bytes[at + 1]) << 8));
}

// The samples of a 16-bit stereo 44100 Hz PCM WAV file; every header field is
// checked against the file (a test failure otherwise).
inline std::vector<int16_t> read_wav_samples(const std::string& path) {
  const std::string bytes = read_file(path);
  EXPECT_GE(bytes.size(), 44u);
  if (bytes.size() < 44) return {};
  EXPECT_EQ(bytes.substr(0, 4), "RIFF");
  EXPECT_EQ(u32_at(bytes, 4), bytes.size() - 8);
  EXPECT_EQ(bytes.substr(8, 8), "WAVEfmt ");
  EXPECT_EQ(u32_at(bytes, 16), 16u);
  EXPECT_EQ(u16_at(bytes, 20), 1u);  // PCM
  EXPECT_EQ(u16_at(bytes, 22), 2u);  // stereo
  EXPECT_EQ(u32_at(bytes, 24), 44100u);
  EXPECT_EQ(u32_at(bytes, 28), 44100u * 4);
  EXPECT_EQ(u16_at(bytes, 32), 4u);
  EXPECT_EQ(u16_at(bytes, 34), 16u);
  EXPECT_EQ(bytes.substr(36, 4), "data");
  EXPECT_EQ(u32_at(bytes, 40), bytes.size() - 44);
  std::vector<int16_t> samples((bytes.size() - 44) / 2);
  if (!samples.empty()) std::memcpy(samples.data(), bytes.data() + 44, samples.size() * 2);
  return samples;
}

}  // namespace render_test
