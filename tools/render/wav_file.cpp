#include "wav_file.h"

#include <bit>

// The samples are written from memory as they are, and WAV files are little-endian.
static_assert(std::endian::native == std::endian::little);

std::array<uint8_t, wav_header_size> wav_header(uint32_t frames) {
  return wav_header_for(wav_sample_rate, frames * wav_bytes_per_frame);
}

WAV_WRITER::WAV_WRITER(std::string path) : file_(std::move(path)) {}

WAV_WRITER::~WAV_WRITER() = default;

bool WAV_WRITER::open(std::string& error) {
  frames_ = 0;
  const auto header = wav_header(0);  // patched by commit
  open_ = file_.open(error) && file_.append(header.data(), header.size(), error);
  return open_;
}

bool WAV_WRITER::write_frames(const int16_t* samples, size_t frames, std::string& error) {
  if (!open_) {
    error = "cannot write " + file_.path() + ": file is not open";
    return false;
  }
  if (frames > wav_max_frames - frames_) {
    error = "cannot write " + file_.path() + ": too many frames for a WAV file";
    open_ = false;
    file_.discard();
    return false;
  }
  open_ = file_.append(samples, frames * wav_bytes_per_frame, error);
  if (open_) frames_ += frames;
  return open_;
}

bool WAV_WRITER::commit(std::string& error) {
  const auto header = wav_header(static_cast<uint32_t>(frames_));
  const bool done =
      open_ && file_.write_at(0, header.data(), header.size(), error) && file_.commit(error);
  if (!open_) error = "cannot write " + file_.path() + ": file is not open";
  open_ = false;
  return done;
}
