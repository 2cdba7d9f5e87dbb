// The texture index file (OPENGL.ZPK): two header tokens, then one
// "NAME PATH SIMPLEPART" entry per texture, then END. The reader splits the
// file at white space and reads at most 59 characters per token.
#pragma once

#include <string>
#include <vector>

namespace zem::art {

constexpr int INDEX_TOKEN_MAX = 59;
constexpr int INDEX_SLOTS = 400;

struct index_entry {
  std::string name;  // key in the texture library
  std::string path;  // image file, relative to the runtime folder
};

// The index text. Throws std::invalid_argument for an entry the reader could
// not take back exactly: an empty token, one with white space or longer than
// the reader's limit, the name "END", a name given twice, more entries than
// the library has slots.
std::string format_index(const std::vector<index_entry>& entries);

// Writes format_index(entries) to file; throws std::runtime_error when the
// file cannot be written.
void write_index(const std::string& file, const std::vector<index_entry>& entries);

}  // namespace zem::art
