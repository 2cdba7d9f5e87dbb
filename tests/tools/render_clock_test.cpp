// zem-render --tempo and --clock: the clock file, the options, and the proof
// that what zem-render renders for a clock is what the live rack plays for
// it, frame for frame: the live path is the audio layer's mixer pulling the
// five streams in output periods of any size, with the rack's clock among its
// listeners fed through the MIDI input's ring as a JACK client feeds it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "clock_file.h"
#include "clock_pulses.h"
#include "clock_rings.h"
#include "engine_dispatch.h"
#include "render_arguments.h"
#include "render_session.h"
#include "stream_mixer.h"

namespace {

signed char play_instrument(FSOUND_STREAM*, void* buffer, int length, void* user) {
  render_instrument(*static_cast<INSTRUMENT*>(user), nullptr, buffer, length, nullptr);
  return 1;
}

// The clock's messages as the text of a clock file.
std::string clock_text(const std::vector<clock_message>& messages) {
  const char* words[] = {" pulse", " start", " continue", " stop", " position "};
  std::string text = "# a test clock\n";
  for (const clock_message& m : messages) {
    text += std::to_string(m.frame) + words[int(m.kind)];
    if (m.kind == clock_message_kind::song_position) text += std::to_string(m.song_position);
    text += '\n';
  }
  return text;
}

std::vector<int16_t> render_offline(const std::string& clock, int64_t frames) {
  std::vector<clock_message> messages;
  std::string error;
  EXPECT_TRUE(parse_clock_text(clock, messages, error)) << error;
  std::srand(1);
  render_session session(engine_kind::rack);
  session.follow(messages);
  std::vector<int16_t> out(2 * size_t(frames));
  for (int64_t done = 0; done < frames; done += render_session::block_frames)
    session.render_block(out.data() + 2 * done,
                         int(std::min<int64_t>(render_session::block_frames, frames - done)));
  return out;
}

std::vector<int16_t> play_live(const std::vector<clock_message>& messages, int64_t frames) {
  std::srand(1);
  std::array<std::unique_ptr<INSTRUMENT>, instrument_count> members;
  std::array<INSTRUMENT*, instrument_count> order{};
  std::array<FSOUND_STREAM, instrument_count> streams{};
  stream_mixer mixer;
  for (int row = 0; row < instrument_count; ++row) {
    members[row] = make_instrument(rack_members[row].kind);
    order[row] = members[row].get();
  }
  rack_clock clock(order);
  clock_input_ring midi_in;
  clock.set_clock_input(&midi_in);
  clock.set_sync(sync_source::midi_clock);
  mixer.listeners().add(&clock);
  for (int row = 0; row < instrument_count; ++row) {
    streams[row].callback = play_instrument;
    streams[row].user = order[row];
    mixer.attach(rack_members[row].stream_channel, &streams[row]);
  }
  std::vector<int16_t> out(2 * size_t(frames));
  size_t next = 0;
  const int periods[] = {256, 64, 1000, 128, 333, 4096};
  for (int64_t done = 0, k = 0; done < frames; ++k) {
    const int64_t period = std::min<int64_t>(periods[k % 6], frames - done);
    // The messages of this period reach the ring before it is rendered.
    while (next < messages.size() && messages[next].frame < uint64_t(done + period))
      midi_in.push(messages[next++]);
    mixer.fill(out.data() + 2 * done, size_t(period));
    done += period;
  }
  for (FSOUND_STREAM& stream : streams) mixer.detach(&stream);
  return out;
}

TEST(RenderClock, ZemRenderPlaysForAClockWhatTheLiveRackPlaysForIt) {
  using kind = clock_message_kind;
  const std::vector<clock_message> pulses = zem_test::clock_pulses(133, 9000, 24 * 14, 0.1);
  const std::vector<clock_message> messages =
      zem_test::merged({{8990, kind::start},
                        {pulses[100].frame + 7, kind::stop},
                        {pulses[130].frame, kind::song_position, 5},
                        {pulses[150].frame + 1, kind::resume},
                        {pulses[250].frame - 1, kind::start}},
                       pulses);
  constexpr int64_t frames = 8 * 44100;
  const std::vector<int16_t> offline = render_offline(clock_text(messages), frames);
  EXPECT_EQ(play_live(messages, frames), offline);
  EXPECT_TRUE(
      std::all_of(offline.begin(), offline.begin() + 2 * 9000, [](int16_t s) { return s == 0; }));
  EXPECT_FALSE(std::all_of(offline.begin(), offline.end(), [](int16_t s) { return s == 0; }));
}

TEST(RenderClock, ClockFilesAndOptionsRefuseWhatTheyCannotTake) {
  struct refusal {
    std::string text;
    const char* reason;
  };
  for (const refusal& r : {refusal{"10\n5\n", "line 2: frame 5 comes before"},
                           {"x start\n", "line 1: 'x' is not a frame"},
                           {"-3\n", "line 1: '-3' is not"},
                           {"\n# c\n10 go\n", "line 3: unknown message 'go'"},
                           {"10 stop now\n", "unexpected 'now'"},
                           {"10 position\n", "0 to 16383"},
                           {"10 position 16384\n", "0 to 16383"}}) {
    std::vector<clock_message> messages;
    std::string error;
    EXPECT_FALSE(parse_clock_text(r.text, messages, error)) << r.text;
    EXPECT_NE(error.find(r.reason), std::string::npos) << error;
  }
  std::vector<clock_message> messages;
  std::string error;
  ASSERT_TRUE(
      parse_clock_text("5 start # Start\r\n5\n7 pulse\n9 position 16383\n9 continue\n"
                       "12 stop\n",
                       messages, error));
  using kind = clock_message_kind;
  const std::vector<clock_message> expected = {{5, kind::start},  {5, kind::pulse},
                                               {7, kind::pulse},  {9, kind::song_position, 16383},
                                               {9, kind::resume}, {12, kind::stop}};
  ASSERT_EQ(messages.size(), expected.size());
  for (size_t k = 0; k < expected.size(); ++k) {
    EXPECT_EQ(messages[k].frame, expected[k].frame);
    EXPECT_EQ(messages[k].kind, expected[k].kind);
    EXPECT_EQ(messages[k].song_position, expected[k].song_position);
  }
  render_options options;
  for (const char* bad : {"19.9", "300.5", "fast", "nan"})
    EXPECT_NE(parse_render_arguments(std::vector<std::string_view>{"rack", "--tempo", bad, "a.wav"},
                                     options)
                  .error.find("from 20 to 300"),
              std::string::npos);
  EXPECT_NE(
      parse_render_arguments(std::vector<std::string_view>{"tb303", "--clock=c", "a.wav"}, options)
          .error.find("takes rack"),
      std::string::npos);
}
}  // namespace
