#include "pattern_prompt.h"

#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>
#include <vector>

const char pattern_prompt[] = "Entrez le nom du fichier svp : ";

namespace {

// Home the cursor, then erase the screen.
constexpr char clear_screen[] = "\033[H\033[2J";

// While it lives, a terminal on `in` reads whole echoed lines, whatever mode
// the start-up menus left it in (they read raw single keys).
class line_mode {
 public:
  explicit line_mode(FILE* in) : fd_(::fileno(in)) {
    if (fd_ < 0 || !::isatty(fd_) || ::tcgetattr(fd_, &saved_) != 0) return;
    termios lines = saved_;
    lines.c_lflag |= ICANON | ECHO;
    lines.c_iflag |= ICRNL;  // Enter ends the line
    active_ = ::tcsetattr(fd_, TCSANOW, &lines) == 0;
  }
  ~line_mode() {
    if (active_) ::tcsetattr(fd_, TCSANOW, &saved_);
  }
  line_mode(const line_mode&) = delete;
  line_mode& operator=(const line_mode&) = delete;

 private:
  int fd_;
  termios saved_{};
  bool active_ = false;
};

void list_pattern_files(const pattern_console& console) {
  std::error_code error;
  const std::filesystem::path folder = console.folder.empty() ? "." : console.folder;
  std::vector<std::string> names;
  for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
       entry.increment(error))
    if (entry->path().extension() == console.extension)
      names.push_back(entry->path().filename().string());
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) std::fprintf(console.out, "%s\n", name.c_str());
}

bool is_blank(int c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// The next byte of the input, or EOF. A stream on a descriptor is read a byte
// at a time from the descriptor itself, so that no byte after the line waits
// in a buffer where the program's key reader (which reads the descriptor)
// would never see it.
int next_byte(FILE* in) {
  const int fd = ::fileno(in);
  if (fd < 0) return std::getc(in);
  unsigned char byte;
  for (;;) {
    const ssize_t n = ::read(fd, &byte, 1);
    if (n == 1) return byte;
    if (n < 0 && errno == EINTR) continue;
    return EOF;  // end of input, or an error (a closed terminal)
  }
}

// The first word of the next line, at most 79 characters; the rest of the
// line is read and dropped. Empty for an empty line, nothing at end of input.
std::optional<std::string> read_word(FILE* in) {
  int c = next_byte(in);
  if (c == EOF) {
    std::clearerr(in);  // a terminal's end of input (Ctrl-D) ends this prompt only
    return std::nullopt;
  }
  while (is_blank(c)) c = next_byte(in);
  std::string word;
  while (c != EOF && c != '\n' && !is_blank(c)) {
    if (word.size() < pattern_name_size - 1) word.push_back(static_cast<char>(c));
    c = next_byte(in);
  }
  while (c != EOF && c != '\n') c = next_byte(in);
  return word;
}

}  // namespace

std::optional<std::string> ask_pattern_file_name(const pattern_console& console) {
  std::optional<std::string> name;
  {
    // Reading lines before the prompt shows, so that whatever is typed once
    // it is on the screen is echoed.
    const line_mode lines(console.in);
    std::fputs(clear_screen, console.out);
    list_pattern_files(console);
    std::fputs(pattern_prompt, console.out);
    std::fflush(console.out);
    name = read_word(console.in);
  }
  if (!name) {
    std::fputs("\ncancelled: end of input\n", console.out);
  } else if (name->empty()) {
    std::fputs("cancelled: no file name given\n", console.out);
    name.reset();
  }
  std::fflush(console.out);
  return name;
}
