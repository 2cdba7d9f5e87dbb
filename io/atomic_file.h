#pragma once
// A file that replaces its destination only when it is complete. The bytes go
// to a temporary file beside the destination (the same folder, so that the
// final rename stays within one file system and is atomic); `commit` flushes
// it to the disk and renames it over the destination. If anything fails, or
// the object is destroyed before `commit`, the temporary file is removed and
// the destination is left exactly as it was: neither a full disk nor a crash
// destroys an existing file. Used by pattern saves, by the WAV writer
// (wav_writer.h) for zem-render's output and by zem-snapshot.
//
// What the destination is decides how it is written:
// - a regular file, or nothing yet: replaced as above;
// - a symbolic link: followed (through every link of a chain), and the file
//   it leads to is replaced as above, with the temporary file in that file's
//   folder; the link stays a link;
// - a device, a FIFO, a terminal (anything but a regular file or a folder):
//   written in place as a stream, with no temporary file and no rename, so
//   that /dev/null, /dev/stdout or a pipe to a player work and the node
//   itself is never replaced. A FIFO that nobody reads is refused at once
//   rather than waited for.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

class atomic_file {
 public:
  explicit atomic_file(std::string path);
  ~atomic_file();
  atomic_file(const atomic_file&) = delete;
  atomic_file& operator=(const atomic_file&) = delete;

  // Each returns false on failure, with a one-line reason in `error`
  // ("cannot write PATH: ..."); the temporary file is then already gone.
  bool open(std::string& error);
  // Writes at the end of what has been written.
  bool append(const void* data, size_t size, std::string& error);
  // Writes over earlier bytes (a header patched at the end). A stream takes
  // bytes only at its end.
  bool write_at(uint64_t offset, const void* data, size_t size, std::string& error);
  bool commit(std::string& error);
  // Removes the temporary file; the destination stays as it was. (What went
  // to a stream has gone.)
  void discard();

  const std::string& path() const { return path_; }
  const std::string& temporary_path() const { return temporary_path_; }
  // True once open has found a destination that is written in place as a
  // stream: its bytes go out in order and cannot be rewritten.
  bool streams() const { return streaming_; }
  // The open file (-1 when none), for a writer that places its bytes itself
  // and must not allocate while it writes (the WAV writer): the temporary
  // file, or the stream.
  int descriptor() const { return fd_; }

 private:
  bool fail(std::string& error, const std::string& what);
  bool open_temporary(const std::string& destination, std::string& error);
  bool open_stream(std::string& error);

  std::string path_;
  std::string destination_;  // the file that the rename replaces: path_ with links followed
  std::string temporary_path_;
  int fd_ = -1;
  bool streaming_ = false;
  uint64_t end_ = 0;  // bytes written so far
};

// Writes `bytes` as the whole content of `path`, atomically as above.
bool write_file_atomically(const std::string& path, std::span<const unsigned char> bytes,
                           std::string& error);
