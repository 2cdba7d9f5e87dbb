#include "wav_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>

#include "positioned_write.h"

// The samples are written from memory as they are, and WAV files are little-endian.
static_assert(std::endian::native == std::endian::little);

bool wav_writer::open(const std::string& path, uint32_t rate, placement where,
                      uint64_t planned_frames) {
  close();
  path_ = path;
  rate_ = rate;
  frames_ = 0;
  streaming_ = false;
  limit_ = wav_max_frames;
  error_number_ = 0;
  reason_ = nullptr;
  message_.clear();
  if (where == placement::replace) {
    replacement_.emplace(path);
    if (!replacement_->open(message_)) {
      replacement_.reset();
      return false;
    }
    fd_ = replacement_->descriptor();
    streaming_ = replacement_->streams();
  } else {
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd_ < 0) return stop(errno);
  }
  if (streaming_) limit_ = std::min(planned_frames, wav_max_frames);
  if (write_header()) return true;
  stop(errno);
  close();
  return false;
}

bool wav_writer::append(const int16_t* samples, size_t frames) {
  if (stopped()) return false;
  if (fd_ < 0) return stop(0, "file is not open");
  const uint64_t fitting = std::min<uint64_t>(frames, limit_ - frames_);
  if (fitting > 0) {
    if (!write_frames(samples, fitting)) return stop(errno);
    frames_ += fitting;
    if (!streaming_ && !write_header()) return stop(errno);
  }
  return fitting == frames ||
         stop(0, streaming_ ? "more frames than planned" : "too many frames for a WAV file");
}

bool wav_writer::finish() {
  if (stopped()) return false;
  if (fd_ < 0) return stop(0, "file is not open");
  const int fd = fd_;
  fd_ = -1;
  if (!replacement_) return ::close(fd) == 0 || stop(errno);
  // The header already states every frame (a stream's, those planned).
  const bool committed = replacement_->commit(message_);
  replacement_.reset();
  return committed;
}

void wav_writer::close() {
  if (replacement_)
    replacement_.reset();  // removes the temporary file unless it was committed
  else if (fd_ >= 0)
    ::close(fd_);
  fd_ = -1;
}

std::string wav_writer::error() const {
  if (!message_.empty()) return message_;
  if (!stopped()) return {};
  return "cannot write " + path_ + ": " + (reason_ ? reason_ : std::strerror(error_number_));
}

// The whole header in one write, so that the RIFF size and the data size never
// disagree in the file, even when the process dies between two writes. A
// stream gets it once, before the frames, stating the frames planned.
bool wav_writer::write_header() {
  if (streaming_) {
    const auto header = wav_header(rate_, static_cast<uint32_t>(limit_));
    return write_all(fd_, header.data(), header.size());
  }
  const auto header = wav_header(rate_, static_cast<uint32_t>(frames_));
  return write_all_at(fd_, header.data(), header.size(), 0);
}

// A block written only in part lies beyond the stated size.
bool wav_writer::write_frames(const int16_t* samples, uint64_t frames) {
  const size_t bytes = frames * wav_bytes_per_frame;
  if (streaming_) return write_all(fd_, samples, bytes);
  return write_all_at(fd_, samples, bytes, wav_header_bytes + frames_ * wav_bytes_per_frame);
}

bool wav_writer::stop(int error_number, const char* reason) {
  error_number_ = reason || error_number != 0 ? error_number : EIO;
  reason_ = reason;
  if (replacement_) {
    replacement_->discard();
    fd_ = -1;
  }
  return false;
}
