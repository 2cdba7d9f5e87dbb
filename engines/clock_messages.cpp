#include "clock_messages.h"

namespace {
constexpr uint8_t data_mask = 0x7F;
}  // namespace

bool read_midi_clock_message(std::span<const uint8_t> bytes, uint64_t frame,
                             clock_message& message) {
  if (bytes.empty()) return false;
  clock_message read;
  read.frame = frame;
  switch (bytes[0]) {
    case 0xF8:
      read.kind = clock_message_kind::pulse;
      break;
    case 0xFA:
      read.kind = clock_message_kind::start;
      break;
    case 0xFB:
      read.kind = clock_message_kind::resume;
      break;
    case 0xFC:
      read.kind = clock_message_kind::stop;
      break;
    case 0xF2:
      // Two data bytes, least significant first, 7 bits each.
      if (bytes.size() < 3 || (bytes[1] & ~data_mask) != 0 || (bytes[2] & ~data_mask) != 0)
        return false;
      read.kind = clock_message_kind::song_position;
      read.song_position = static_cast<uint16_t>(bytes[1] | (bytes[2] << 7));
      break;
    default:
      return false;
  }
  message = read;
  return true;
}

bool clock_message_list::take_before(uint64_t frame, clock_message& message) {
  if (next_ == messages_.size() || messages_[next_].frame >= frame) return false;
  message = messages_[next_++];
  return true;
}
