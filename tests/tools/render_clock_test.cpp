// zem-render's clock: a session keeps its tempo, a clock file is read, and
// what zem-render renders for a clock is what the live rack plays for it:
// the mixer pulling the five streams in periods of any size, the rack's clock
// among its listeners fed through the MIDI input's ring as JACK feeds it.
#include <gtest/gtest.h>

#include "clock_file.h"
#include "clock_rings.h"
#include "render_session.h"
#include "session_options.h"
#include "stream_callback.h"
#include "stream_mixer.h"
#include "test_clocks.h"

namespace {
// zem-render's rack following the clock of a clock file's text.
std::vector<int16_t> render_offline(const std::string& clock_file, int64_t frames) {
  std::vector<clock_message> messages;
  std::string error;
  EXPECT_TRUE(parse_clock_text(clock_file, messages, error)) << error;
  std::srand(1);
  render_session session(engine_kind::rack);
  session.follow(messages);
  std::vector<int16_t> out(2 * size_t(frames));
  for (int64_t done = 0; done < frames; done += render_session::block_frames)
    session.render_block(&out[2 * done],
                         int(std::min<int64_t>(render_session::block_frames, frames - done)));
  return out;
}

// The five of a rack, each pulled by the program's stream callback.
std::vector<int16_t> play_live(const std::vector<clock_message>& messages, int64_t frames) {
  std::srand(1);
  engine_rack five;
  std::array<FSOUND_STREAM, instrument_count> streams{};
  stream_mixer mixer;
  for (int row = 0; row < instrument_count; ++row) {
    streams[row] = {stream_callback, &five.instrument(row)};
    mixer.attach(rack_members[row].stream_channel, &streams[row]);
  }
  rack_clock clock(five.instruments());
  clock_input_ring midi_in;
  clock.set_clock_input(&midi_in);
  clock.set_sync(sync_source::midi_clock);
  mixer.listeners().add(&clock);
  std::vector<int16_t> out(2 * size_t(frames));
  size_t next = 0;
  for (int64_t done = 0, period = 0; done < frames; done += period) {
    period = std::min<int64_t>(std::array{256, 64, 1000, 128, 333, 4096}[done % 6], frames - done);
    // The messages of a period reach the ring, at the mixer's rack frames,
    // before it is rendered.
    EXPECT_EQ(mixer.next_rack_frame(), uint64_t(done));
    while (next < messages.size() && messages[next].frame < uint64_t(done + period))
      midi_in.push(messages[next++]);
    mixer.fill(&out[2 * done], size_t(period));
  }
  for (FSOUND_STREAM& stream : streams) mixer.detach(&stream);
  return out;
}

TEST(RenderClock, ZemRenderPlaysForAClockWhatTheLiveRackPlaysForIt) {
  using kind = clock_message_kind;
  const auto at = [](int pulse) { return uint64_t(9000 + pulse * zem_test::pulse_period(133)); };
  const std::vector<clock_message> messages = zem_test::clock_pulses(133, 9000, 24 * 14, 0.1,
                                                                     {{8990, kind::start},
                                                                      {at(100), kind::stop},
                                                                      {at(150), kind::resume},
                                                                      {at(250), kind::start}});
  const std::vector<int16_t> offline = render_offline(clock_file_text(messages), 8 * 44100);
  EXPECT_EQ(play_live(messages, 8 * 44100), offline);
  EXPECT_NE(offline, std::vector<int16_t>(offline.size()));
}

TEST(RenderClock, ClockFilesAreReadWholeAndRefusedByTheLine) {
  std::vector<clock_message> read;
  std::string error;
  EXPECT_FALSE(parse_clock_text("10\n\n# c\n5 stop\n", read, error));
  EXPECT_EQ(error, "line 4: frame 5 comes before the line above");
  EXPECT_FALSE(parse_clock_text("10 position 16384\n", read, error));
  EXPECT_EQ(error, "line 1: position needs a number of steps from 0 to 16383");
  const std::string text = "5 start\n5\n7\n9 position 16383\n9 continue\n12 stop\n";
  ASSERT_TRUE(parse_clock_text("5 start # S\r\n5\n7 pulse\n9 position 16383\n9 continue\n12 stop",
                               read, error));
  EXPECT_EQ(clock_file_text(read), text);
}
TEST(RenderClock, ASessionKeepsTheTempoItPlaysAt) {
  render_options options;
  options.save_session_file = options.session_file = testing::TempDir() + "tempo_session.zem";
  render_session first(engine_kind::rack), second(engine_kind::rack);
  rack_session session;
  std::string error;
  first.set_tempo(150);
  ASSERT_TRUE(save_session_option(options, first, session, error)) << error;
  ASSERT_TRUE(open_session_option(options, second, session, error)) << error;
  for (INSTRUMENT* i : second.instruments()) EXPECT_EQ(i->samples_per_step, 4410.0f);
  std::remove(options.session_file->c_str());
}
}  // namespace
