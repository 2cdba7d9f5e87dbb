#pragma once
// Writing a whole range of bytes at a position of an open file, for the
// writers that patch a header in place (the WAV writer) and for atomic_file.
#include <cstddef>
#include <cstdint>

// pwrite of the whole range, retried after interruptions and partial writes.
// False on failure with errno set (EIO when the file takes no more bytes).
// Neither allocates nor locks, so a sound thread may call it.
bool write_all_at(int fd, const void* data, size_t size, uint64_t offset);
