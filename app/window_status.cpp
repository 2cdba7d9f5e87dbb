#include "window_status.h"

#include <array>

#include "video.h"

namespace {
std::array<std::string, static_cast<size_t>(status_part::count)> parts;
}  // namespace

void set_status_part(status_part part, std::string text) {
  std::string& kept = parts[static_cast<size_t>(part)];
  if (kept == text) return;
  kept = std::move(text);
  set_caption_status(status_line().c_str());
}

const std::string& status_part_text(status_part part) {
  return parts[static_cast<size_t>(part)];
}

std::string status_line() {
  std::string line;
  for (const std::string& part : parts) {
    if (part.empty()) continue;
    if (!line.empty()) line += " | ";
    line += part;
  }
  return line;
}
