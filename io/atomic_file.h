#pragma once
// A file that replaces its destination only when it is complete. The bytes go
// to a temporary file beside the destination (the same folder, so that the
// final rename stays within one file system and is atomic); `commit` flushes
// it to the disk and renames it over the destination. If anything fails, or
// the object is destroyed before `commit`, the temporary file is removed and
// the destination is left exactly as it was: neither a full disk nor a crash
// destroys an existing file. Used by pattern saves and by the WAV writer
// (wav_writer.h) for zem-render's output.
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
  // Writes over earlier bytes (a header patched at the end).
  bool write_at(uint64_t offset, const void* data, size_t size, std::string& error);
  bool commit(std::string& error);
  // Removes the temporary file; the destination stays as it was.
  void discard();

  const std::string& path() const { return path_; }
  const std::string& temporary_path() const { return temporary_path_; }
  // The open temporary file (-1 when none), for a writer that places its
  // bytes itself and must not allocate while it writes (the WAV writer).
  int descriptor() const { return fd_; }

 private:
  bool fail(std::string& error, const std::string& what);

  std::string path_;
  std::string temporary_path_;
  int fd_ = -1;
  uint64_t end_ = 0;  // bytes written so far
};

// Writes `bytes` as the whole content of `path`, atomically as above.
bool write_file_atomically(const std::string& path, std::span<const unsigned char> bytes,
                           std::string& error);
