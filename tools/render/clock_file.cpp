#include "clock_file.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "render_arguments.h"

namespace {

constexpr uint64_t largest_song_position = 16383;  // 14 bits

// The words of a line, up to a "#".
std::vector<std::string_view> words_of(std::string_view line) {
  line = line.substr(0, line.find('#'));
  std::vector<std::string_view> words;
  size_t at = 0;
  while (at < line.size()) {
    const size_t begin = line.find_first_not_of(" \t\r", at);
    if (begin == std::string_view::npos) break;
    const size_t end = std::min(line.find_first_of(" \t\r", begin), line.size());
    words.push_back(line.substr(begin, end - begin));
    at = end;
  }
  return words;
}

std::string quoted(std::string_view word) {
  std::string text = "'";
  text += word;
  text += '\'';
  return text;
}

// One line's message; an empty text, or the reason it is refused.
std::string read_line(const std::vector<std::string_view>& words, clock_message& message) {
  const auto frame = parse_count(words[0]);
  if (!frame) return quoted(words[0]) + " is not a frame number";
  message = {*frame, clock_message_kind::pulse, 0};
  const std::string_view kind = words.size() > 1 ? words[1] : "pulse";
  const size_t expected = kind == "position" ? 3 : 2;
  if (words.size() > expected) return "unexpected " + quoted(words[expected]);
  if (kind == "pulse") return {};
  if (kind == "start")
    message.kind = clock_message_kind::start;
  else if (kind == "continue")
    message.kind = clock_message_kind::resume;
  else if (kind == "stop")
    message.kind = clock_message_kind::stop;
  else if (kind == "position") {
    const auto steps = words.size() == 3 ? parse_count(words[2]) : std::nullopt;
    if (!steps || *steps > largest_song_position)
      return "position needs a number of steps from 0 to 16383";
    message.kind = clock_message_kind::song_position;
    message.song_position = static_cast<uint16_t>(*steps);
  } else {
    return "unknown message " + quoted(kind) + " (pulse, start, continue, stop or position)";
  }
  return {};
}

}  // namespace

bool parse_clock_text(std::string_view text, std::vector<clock_message>& messages,
                      std::string& error) {
  std::vector<clock_message> read;
  size_t line_number = 0;
  while (!text.empty()) {
    ++line_number;
    const size_t end = std::min(text.find('\n'), text.size());
    const std::vector<std::string_view> words = words_of(text.substr(0, end));
    text.remove_prefix(std::min(end + 1, text.size()));
    if (words.empty()) continue;
    clock_message message;
    std::string reason = read_line(words, message);
    if (reason.empty() && !read.empty() && message.frame < read.back().frame)
      reason = "frame " + std::to_string(message.frame) + " comes before the line above";
    if (!reason.empty()) {
      error = "line " + std::to_string(line_number) + ": " + reason;
      return false;
    }
    read.push_back(message);
  }
  messages = std::move(read);
  return true;
}

std::string clock_file_text(std::span<const clock_message> messages) {
  std::string text;
  for (const clock_message& message : messages) {
    text += std::to_string(message.frame);
    switch (message.kind) {
      case clock_message_kind::pulse:
        break;
      case clock_message_kind::start:
        text += " start";
        break;
      case clock_message_kind::resume:
        text += " continue";
        break;
      case clock_message_kind::stop:
        text += " stop";
        break;
      case clock_message_kind::song_position:
        text += " position " + std::to_string(message.song_position);
        break;
    }
    text += '\n';
  }
  return text;
}

bool load_clock_file(const std::string& path, std::vector<clock_message>& messages,
                     std::string& error) {
  std::error_code code;
  std::ifstream file(path, std::ios::binary);
  if (!file.is_open() || std::filesystem::is_directory(path, code)) {
    error = "cannot read clock file " + path;
    return false;
  }
  const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  if (file.bad()) {
    error = "cannot read clock file " + path;
    return false;
  }
  if (!parse_clock_text(text, messages, error)) {
    error = path + ":" + error.substr(std::string_view("line ").size());
    return false;
  }
  return true;
}
