#include "wav_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <cstring>

// The samples are written from memory as they are, and WAV files are little-endian.
static_assert(std::endian::native == std::endian::little);

namespace {

void put_u32(uint8_t* at, uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

void put_u16(uint8_t* at, uint16_t value) {
  at[0] = static_cast<uint8_t>(value);
  at[1] = static_cast<uint8_t>(value >> 8);
}

std::string folder_of(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string base_name_of(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::array<uint8_t, wav_header_size> wav_header(uint32_t frames) {
  const uint32_t data_bytes = frames * wav_bytes_per_frame;
  std::array<uint8_t, wav_header_size> header{};
  uint8_t* h = header.data();
  std::memcpy(h + 0, "RIFF", 4);
  put_u32(h + 4, static_cast<uint32_t>(wav_header_size - 8) + data_bytes);
  std::memcpy(h + 8, "WAVE", 4);
  std::memcpy(h + 12, "fmt ", 4);
  put_u32(h + 16, 16);  // size of the PCM format chunk
  put_u16(h + 20, 1);   // PCM
  put_u16(h + 22, wav_channels);
  put_u32(h + 24, wav_sample_rate);
  put_u32(h + 28, wav_sample_rate * wav_bytes_per_frame);
  put_u16(h + 32, wav_bytes_per_frame);
  put_u16(h + 34, 16);  // bits per sample
  std::memcpy(h + 36, "data", 4);
  put_u32(h + 40, data_bytes);
  return header;
}

WAV_WRITER::WAV_WRITER(std::string path) : path_(std::move(path)) {}

WAV_WRITER::~WAV_WRITER() {
  discard();
}

bool WAV_WRITER::fail(std::string& error, const std::string& what) {
  error = "cannot write " + path_ + ": " + what;
  discard();
  return false;
}

void WAV_WRITER::discard() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
  if (!temporary_path_.empty()) ::unlink(temporary_path_.c_str());
  temporary_path_.clear();
}

bool WAV_WRITER::open(std::string& error) {
  if (path_.empty() || path_.back() == '/') return fail(error, "not a file name");
  // The temporary file sits beside the destination so that the final rename
  // stays within one file system and is atomic. O_EXCL never reuses a file.
  const std::string stem =
      folder_of(path_) + "/." + base_name_of(path_) + ".tmp-" + std::to_string(::getpid()) + "-";
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string candidate = stem + std::to_string(attempt);
    const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return fail(error, std::strerror(errno));
    }
    temporary_path_ = candidate;
    file_ = ::fdopen(fd, "wb");
    if (!file_) {
      ::close(fd);
      return fail(error, std::strerror(errno));
    }
    const auto header = wav_header(0);  // patched by commit
    if (std::fwrite(header.data(), 1, header.size(), file_) != header.size())
      return fail(error, std::strerror(errno));
    return true;
  }
  return fail(error, "no free temporary file name");
}

bool WAV_WRITER::write_frames(const int16_t* samples, size_t frames, std::string& error) {
  if (!file_) return fail(error, "file is not open");
  if (frames > wav_max_frames - frames_) return fail(error, "too many frames for a WAV file");
  const size_t count = frames * wav_channels;
  const size_t written = std::fwrite(samples, sizeof(int16_t), count, file_);
  if (written != count) return fail(error, std::strerror(errno));
  frames_ += frames;
  return true;
}

bool WAV_WRITER::commit(std::string& error) {
  if (!file_) return fail(error, "file is not open");
  const auto header = wav_header(static_cast<uint32_t>(frames_));
  if (std::fseek(file_, 0, SEEK_SET) != 0 ||
      std::fwrite(header.data(), 1, header.size(), file_) != header.size() ||
      std::fflush(file_) != 0 || ::fsync(::fileno(file_)) != 0)
    return fail(error, std::strerror(errno));
  const int closed = std::fclose(file_);
  file_ = nullptr;
  if (closed != 0) return fail(error, std::strerror(errno));
  if (std::rename(temporary_path_.c_str(), path_.c_str()) != 0)
    return fail(error, std::strerror(errno));
  temporary_path_.clear();
  return true;
}
