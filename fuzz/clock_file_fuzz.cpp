// Feeds any text to the clock-file reader. A text it takes holds messages in
// frame order with song positions of 14 bits; the follower then plans blocks
// over them, and every plan keeps its promises: the playing step began at or
// before the block and ends after its first frame, and steps move on one at
// a time.
#include <cstdint>
#include <string_view>
#include <vector>

#include "clock_file.h"
#include "clock_follower.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::vector<clock_message> messages;
  std::string error;
  if (!parse_clock_text(text, messages, error)) {
    if (error.rfind("line ", 0) != 0) __builtin_trap();  // a reason without its line
    return 0;
  }
  for (size_t k = 0; k < messages.size(); ++k) {
    if (k > 0 && messages[k].frame < messages[k - 1].frame) __builtin_trap();
    if (messages[k].song_position > 16383) __builtin_trap();
  }
  clock_follower follower;
  clock_message_list source(messages);
  const uint64_t last = messages.empty() ? 0 : messages.back().frame;
  // Blocks up to a little past the last message (clipped for huge frames).
  const uint64_t first = last > (1u << 20) ? last - (1u << 20) : 0;
  clock_message message;
  while (source.take_before(first, message)) follower.take(message);
  int64_t step = -1;
  for (uint64_t frame = first; frame < last + 44100; frame += 128) {
    while (source.take_before(frame, message)) follower.take(message);
    const follow_plan plan = follower.plan(frame, 128);
    if (!plan.playing) continue;
    if (plan.step_began > frame || plan.step_ends <= frame) __builtin_trap();
    if (!plan.rejoin && step >= 0 && plan.song_step != step && plan.song_step != step + 1)
      __builtin_trap();
    step = plan.song_step;
  }
  return 0;
}
