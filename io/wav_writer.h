#pragma once
// Writes 16-bit stereo frames to a WAV file: the live recording and
// zem-render's output. The header is rewritten, in one write, after every
// block, so the file is a valid WAV file at any moment, even when the process
// is killed while writing: a block cut short lies beyond the stated size.
// Appending neither allocates nor locks, so that a sound thread may record.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "atomic_file.h"
#include "wav_header.h"

class wav_writer {
 public:
  // Where the frames go while the file is written.
  enum class placement {
    // The destination itself, emptied at open; what was written stays there.
    in_place,
    // A temporary file beside the destination (atomic_file), which replaces
    // it at `finish`; until then the destination stays as it was, and a file
    // that is given up is removed. A destination that is a device, a FIFO or
    // a terminal is written in order instead (atomic_file::streams): its
    // header is written once, first, stating the frames planned at open.
    replace,
  };

  wav_writer() = default;
  ~wav_writer() { close(); }
  wav_writer(const wav_writer&) = delete;
  wav_writer& operator=(const wav_writer&) = delete;

  // Each call returns false on failure; error() then says why.

  // Starts the file with a header of no frames at `rate` frames per second.
  // A stream's header states `planned_frames` instead (by default as many as
  // a WAV file can hold: a length left open), and it takes no more frames.
  bool open(const std::string& path, uint32_t rate, placement where,
            uint64_t planned_frames = wav_max_frames);
  // Appends interleaved stereo frames exactly as given. The file takes no
  // more frames after a failed write, nor past the largest size that a WAV
  // header can state (the frames that fit are kept); a file to replace the
  // destination is then given up.
  bool append(const int16_t* samples, size_t frames);
  // In place, closes the file; otherwise flushes it to the disk and renames
  // it onto the destination.
  bool finish();
  // Ends without finishing: in place the file stays as written; a file to
  // replace the destination is removed.
  void close();

  // The last failure in one line ("cannot write PATH: ..."), empty if none.
  std::string error() const;
  bool is_open() const { return fd_ >= 0; }
  uint64_t frames() const { return frames_; }

 private:
  bool write_header();
  bool write_frames(const int16_t* samples, uint64_t frames);
  bool stop(int error_number, const char* reason = nullptr);
  bool stopped() const { return error_number_ != 0 || reason_ || !message_.empty(); }

  std::string path_;
  std::optional<atomic_file> replacement_;  // with placement::replace
  int fd_ = -1;
  uint32_t rate_ = 0;
  uint64_t frames_ = 0;
  bool streaming_ = false;  // the header went out first and stays as it is
  uint64_t limit_ = wav_max_frames;
  // Why the file stopped: kept as plain values, so that a failed append does
  // not allocate; the failures of open and finish keep their whole line.
  int error_number_ = 0;
  const char* reason_ = nullptr;
  std::string message_;
};
