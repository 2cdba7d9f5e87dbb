#pragma once
// Writing a whole range of bytes to an open file, at a position (for the
// writers that patch a header in place: the WAV writer, atomic_file) or in
// order (for a stream: a pipe, a device, a terminal).
#include <cstddef>
#include <cstdint>

// pwrite of the whole range, retried after interruptions and partial writes.
// False on failure with errno set (EIO when the file takes no more bytes).
// Neither allocates nor locks, so a sound thread may call it.
bool write_all_at(int fd, const void* data, size_t size, uint64_t offset);

// The same with write, at the file's own position.
bool write_all(int fd, const void* data, size_t size);
