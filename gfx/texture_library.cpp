#include "texture_library.h"

#include <cstring>

#include "program_end.h"

TEXTURE_LIBRARY* texture_library = nullptr;

namespace {

struct archive_token {
  char text[ARCHIVE_TOKEN_MAX + 1];
  bool too_long;
};

bool is_blank(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Reads the next run of non-blank characters. Characters past the limit are
// consumed and dropped, and the token is flagged. False at the end of the file.
bool read_token(std::FILE* file, archive_token& token) {
  int c;
  do {
    c = std::fgetc(file);
  } while (c != EOF && is_blank(c));
  if (c == EOF) return false;
  int length = 0;
  token.too_long = false;
  while (c != EOF && !is_blank(c)) {
    if (length < ARCHIVE_TOKEN_MAX) {
      token.text[length++] = static_cast<char>(c);
    } else {
      token.too_long = true;
    }
    c = std::fgetc(file);
  }
  token.text[length] = '\0';
  return true;
}

}  // namespace

TEXTURE_LIBRARY::TEXTURE_LIBRARY(const char* path, texture_loader loader) : loader_(loader) {
  for (int i = 0; i < TEXTURE_SLOTS; ++i) texture_ids[i] = i;
  read_archive(path);
}

void TEXTURE_LIBRARY::read_archive(const char* path) {
  if (const auto error = open_archive(path)) end_program(*error + " \n", -1);
}

std::optional<std::string> TEXTURE_LIBRARY::open_archive(const char* path) {
  std::FILE* file = std::fopen(path, "rt");
  std::printf("Opening File [%s] in directory [%s] Ptr [%p] \n", path, ".",
              static_cast<void*>(file));
  if (file == nullptr) {
    char message[512];
    std::snprintf(message, sizeof message, "Error opening data file [%s]", path);
    return message;
  }
  read_entries(file);
  std::fclose(file);
  return std::nullopt;
}

void TEXTURE_LIBRARY::read_entries(std::FILE* file) {
  archive_token name, path, kind;
  // Two header tokens, not used.
  if (!read_token(file, name) || !read_token(file, name)) return;
  // A missing "END" is taken as the end of the file.
  while (read_token(file, name) && (name.too_long || std::strcmp(name.text, "END") != 0)) {
    if (!read_token(file, path) || !read_token(file, kind)) return;
    std::printf("Nbr elem = %d = %s callable with name [%s] \n", count, name.text, path.text);
    if (name.too_long || path.too_long || kind.too_long) {
      std::fprintf(stderr, "Archive entry [%s] skipped: a token is longer than %d characters\n",
                   name.text, ARCHIVE_TOKEN_MAX);
      continue;
    }
    if (std::strcmp(kind.text, "SIMPLEPART") == 0 && load_texture(path.text, name.text) < 0) {
      std::printf("Erreur au de chargement simplepart\n");
    }
  }
}

int32_t TEXTURE_LIBRARY::find_texture(const char* name) const {
  if (name == nullptr) return 0;
  for (int32_t i = 0; i < count; ++i) {
    if (std::strcmp(names[i], name) == 0) return i;
  }
  return 0;
}

int32_t TEXTURE_LIBRARY::load_texture(const char* path, const char* name) {
  if (find_texture(name) != 0) return count - 1;
  if (count >= TEXTURE_SLOTS) {
    std::fprintf(stderr, "Texture library full (%d textures): [%s] not loaded\n", TEXTURE_SLOTS,
                 name);
    return -1;
  }
  int32_t width = 0;
  int32_t height = 0;
  if (loader_ == nullptr || !loader_(path, texture_ids[count], &width, &height)) return -1;
  register_texture(name, width, height);
  return count - 1;
}

void TEXTURE_LIBRARY::register_texture(const char* name, int32_t width, int32_t height) {
  if (count >= TEXTURE_SLOTS) return;
  copy_name_field(names[count], name);
  widths[count] = width;
  heights[count] = height;
  ++count;
}
