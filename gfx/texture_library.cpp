#include "texture_library.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "program_end.h"

TEXTURE_LIBRARY* texture_library = nullptr;

namespace {

struct archive_token {
  char text[ARCHIVE_TOKEN_MAX + 1];
  bool too_long;
};

// An open archive read no further than its size: a file that grows, or a
// special file that never ends, cannot keep start-up reading.
struct bounded_reader {
  std::FILE* file;
  uint64_t left;

  int next() {
    if (left == 0) return EOF;
    const int c = std::fgetc(file);
    if (c != EOF) --left;
    return c;
  }
};

bool is_blank(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Reads the next run of non-blank characters. Characters past the limit are
// consumed and dropped, and the token is flagged. False at the end of the file.
bool read_token(bounded_reader& in, archive_token& token) {
  int c;
  do {
    c = in.next();
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
    c = in.next();
  }
  token.text[length] = '\0';
  return true;
}

struct file_closer {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// Opened without waiting: a FIFO with no writer would hold start-up forever.
std::FILE* open_without_waiting(const char* path) {
  const int descriptor = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (descriptor < 0) return nullptr;
  std::FILE* file = ::fdopen(descriptor, "r");
  if (file == nullptr) ::close(descriptor);
  return file;
}

std::string data_file_error(const char* what, const char* path, const char* why = nullptr) {
  std::string message = std::string("Error ") + what + " data file [" + path + "]";
  return why == nullptr ? message : message + ": " + why;
}

}  // namespace

TEXTURE_LIBRARY::TEXTURE_LIBRARY(texture_loader loader) : loader_(loader) {
  for (int i = 0; i < TEXTURE_SLOTS; ++i) texture_ids[i] = i;
}

TEXTURE_LIBRARY::TEXTURE_LIBRARY(const char* path, texture_loader loader)
    : TEXTURE_LIBRARY(loader) {
  read_archive(path);
}

void TEXTURE_LIBRARY::read_archive(const char* path) {
  if (const auto error = open_archive(path)) end_program(*error + " \n", -1);
}

std::optional<std::string> TEXTURE_LIBRARY::open_archive(const char* path) {
  const std::unique_ptr<std::FILE, file_closer> file(open_without_waiting(path));
  std::printf("Opening File [%s] in directory [%s] Ptr [%p] \n", path, ".",
              static_cast<void*>(file.get()));
  if (!file) return data_file_error("opening", path);
  struct stat status;
  if (::fstat(::fileno(file.get()), &status) != 0 || !S_ISREG(status.st_mode)) {
    return data_file_error("opening", path, "not a regular file");
  }
  const bool complete = read_entries(file.get(), static_cast<uint64_t>(status.st_size));
  if (std::ferror(file.get())) return data_file_error("reading", path, std::strerror(errno));
  if (!complete) return data_file_error("reading", path, "it ends before its END");
  return std::nullopt;
}

bool TEXTURE_LIBRARY::read_entries(std::FILE* file, uint64_t size) {
  bounded_reader in{file, size};
  archive_token name, path, kind;
  // Two header tokens, not used.
  if (!read_token(in, name) || !read_token(in, name)) return false;
  while (read_token(in, name)) {
    if (!name.too_long && std::strcmp(name.text, "END") == 0) return true;
    if (!read_token(in, path) || !read_token(in, kind)) return false;
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
  return false;
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
