#include "pattern_prompt.h"

#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>
#include <vector>

#include "console_keys.h"

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

// How reading a line ended.
enum class line_end { line, end_of_input, quit };

// The next byte of the input, EOF, or nothing when a termination signal came
// first. A stream on a descriptor is read a byte at a time from the
// descriptor itself, so that no byte after the line waits in a buffer where
// the program's key reader (which reads the descriptor) would never see it.
std::optional<int> next_byte(FILE* in) {
  const int fd = ::fileno(in);
  if (fd < 0) return std::getc(in);
  unsigned char byte;
  for (;;) {
    if (!wait_for_input_or_quit(fd)) return std::nullopt;
    const ssize_t n = ::read(fd, &byte, 1);
    if (n == 1) return byte;
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    return EOF;  // end of input, or an error (a closed terminal)
  }
}

// Bytes kept of one line: far more than any name takes, so that what is
// beyond is known to be too long without holding an endless line.
constexpr size_t line_bytes_kept = 4096;

struct typed_line {
  line_end end = line_end::line;
  std::string text;  // at most line_bytes_kept bytes, without the '\n'
  bool cut = false;  // the line went on beyond that
};

// The next line, read to its end (the line ended by the end of input counts).
typed_line read_line(FILE* in) {
  typed_line line;
  for (bool first = true;; first = false) {
    const std::optional<int> c = next_byte(in);
    if (!c) return {line_end::quit, {}, false};
    if (*c == EOF) {
      std::clearerr(in);  // a terminal's end of input (Ctrl-D) ends this prompt only
      if (first) line.end = line_end::end_of_input;
      return line;
    }
    if (*c == '\n') return line;
    if (line.text.size() < line_bytes_kept)
      line.text.push_back(static_cast<char>(*c));
    else
      line.cut = true;
  }
}

std::string trimmed(const std::string& text) {
  size_t first = 0, last = text.size();
  while (first < last && is_blank(static_cast<unsigned char>(text[first]))) ++first;
  while (last > first && is_blank(static_cast<unsigned char>(text[last - 1]))) --last;
  return text.substr(first, last - first);
}

bool is_control(unsigned char c) {
  return (c < 0x20 && !is_blank(c)) || c == 0x7f;
}

// Why a typed name cannot be taken as it is, or an empty text. A name is
// never cut or split: a file of a shorter name would be written instead.
std::string name_refusal(const std::string& name, bool cut) {
  if (cut || name.size() > pattern_name_size - 1)
    return "the name is longer than " + std::to_string(pattern_name_size - 1) + " characters";
  const auto has = [&name](bool (*test)(unsigned char)) {
    return std::any_of(name.begin(), name.end(), [test](char c) { return test(c); });
  };
  if (has(is_control)) return "a file name cannot hold control characters";
  if (has([](unsigned char c) { return is_blank(c); }))
    return "a file name is one word, without blanks: '" + name + "'";
  return {};
}

// Terminal input typed before the prompt showed (a name typed into the
// console while the music played, say) is not an answer to it. A pipe or a
// file keeps its bytes: a script writes its answers ahead.
void discard_earlier_typing(FILE* in) {
  const int fd = ::fileno(in);
  if (fd >= 0 && ::isatty(fd)) ::tcflush(fd, TCIFLUSH);
}

}  // namespace

std::optional<std::string> ask_pattern_file_name(const pattern_console& console) {
  typed_line line;
  {
    // Reading lines before the prompt shows, so that whatever is typed once
    // it is on the screen is echoed.
    const line_mode lines(console.in);
    discard_earlier_typing(console.in);
    std::fputs(clear_screen, console.out);
    list_pattern_files(console);
    std::fputs(pattern_prompt, console.out);
    std::fflush(console.out);
    line = read_line(console.in);
  }
  std::optional<std::string> name;
  if (line.end == line_end::end_of_input) {
    std::fputs("\ncancelled: end of input\n", console.out);
  } else if (line.end == line_end::quit) {
    std::fputs("\ncancelled: the program is quitting\n", console.out);
  } else if (const std::string typed = trimmed(line.text); typed.empty()) {
    std::fputs("cancelled: no file name given\n", console.out);
  } else if (const std::string refusal = name_refusal(typed, line.cut); !refusal.empty()) {
    std::fprintf(console.out, "refused: %s\n", refusal.c_str());
  } else {
    name = typed;
  }
  std::fflush(console.out);
  return name;
}
