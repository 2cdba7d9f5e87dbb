#include "zpk_index.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <set>
#include <stdexcept>

namespace zem::art {

namespace {

void check_token(const std::string& token) {
  const bool blank = std::any_of(token.begin(), token.end(),
                                 [](unsigned char c) { return std::isspace(c) || c == 0; });
  if (token.empty() || blank || token.size() > INDEX_TOKEN_MAX) {
    throw std::invalid_argument("unusable texture index token [" + token + "]");
  }
}

}  // namespace

std::string format_index(const std::vector<index_entry>& entries) {
  if (entries.size() > INDEX_SLOTS) throw std::invalid_argument("more textures than slots");
  std::set<std::string> seen;
  std::string text = "ZEM_TEXTURE_INDEX 1\n";
  for (const index_entry& e : entries) {
    check_token(e.name);
    check_token(e.path);
    if (e.name == "END") throw std::invalid_argument("a texture cannot be named END");
    if (!seen.insert(e.name).second) throw std::invalid_argument("texture listed twice: " + e.name);
    text += e.name + " " + e.path + " SIMPLEPART\n";
  }
  // Nothing after END is read: a note for whoever opens the file.
  return text + "END\n\nWritten at build time by tools/art; change the catalogue there.\n";
}

void write_index(const std::string& file, const std::vector<index_entry>& entries) {
  const std::string text = format_index(entries);
  std::ofstream out(file, std::ios::trunc);
  out << text;
  out.close();
  if (!out) throw std::runtime_error("cannot write " + file);
}

}  // namespace zem::art
