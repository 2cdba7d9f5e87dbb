#pragma once
// The damages that a fuzzer input does to a valid file too large for the
// fuzzer to write by itself:
//   byte 1       the file length: 0 keeps the right size, otherwise the size
//                changes by (int8_t) byte 1
//   then groups of 7 bytes: a 3-byte offset (modulo the length) and a 4-byte
//   word written there, little-endian.
// Byte 0 is the fuzzer's own (what to damage, and how).
#include <cstddef>
#include <cstdint>
#include <vector>

inline std::vector<unsigned char> damaged_file(const std::vector<unsigned char>& valid,
                                               const uint8_t* data, size_t size) {
  std::vector<unsigned char> file(valid);
  if (data[1] != 0)
    file.resize(
        static_cast<size_t>(static_cast<int64_t>(file.size()) + static_cast<int8_t>(data[1])));
  for (size_t at = 2; at + 7 <= size && !file.empty(); at += 7) {
    const size_t offset = (data[at] | data[at + 1] << 8 | data[at + 2] << 16) % file.size();
    for (size_t byte = 0; byte < 4 && offset + byte < file.size(); ++byte)
      file[offset + byte] = data[at + 3 + byte];
  }
  return file;
}
