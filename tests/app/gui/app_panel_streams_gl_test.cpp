// The program's streams carry their panel as user value: each one renders its
// own panel's instrument, through the stream callback and live on the audio
// layer's thread, where the five together sound as the offline rack.
#include <algorithm>
#include <cstring>
#include <vector>

#include "fsound.h"
#include "panel_streams.h"
#include "rack.h"
#include "stream_callback.h"
#include "test_rack.h"
#include "wav_reading.h"

namespace {

class PanelStreams : public rack_test::RackTest {};

// The five panels' streams recorded live through "NoSound" hold exactly the
// rack that the offline renderer renders from the same start. (It runs
// first: the tests after it play the instruments on.)
TEST_F(PanelStreams, TheLiveRecordingEqualsTheRackRenderedOffline) {
  zem_test::temp_folder here(true);  // the recording is written here
  app_test::start_nosound(1);
  create_streams();
  start_streams();
  const std::string file = here.file("session.wav");
  const auto recorded = [&] { return zem_test::read_wav(file).samples.size() / 2; };
  for (int i = 0; i < 2000 && recorded() < 44100 / 2; ++i) SDL_Delay(10);
  testing::internal::CaptureStdout();
  shut_down();
  testing::internal::GetCapturedStdout();
  const std::vector<int16_t> recording = zem_test::read_wav(file).samples;
  ASSERT_GE(recording.size(), size_t{44100});

  std::srand(rack_test::random_seed);
  engine_rack rack;
  std::vector<int16_t> expected(recording.size());
  rack.render_mixed(expected.data(), static_cast<int64_t>(expected.size() / 2));

  // The streams start together at a block boundary after some blocks of
  // silence; at the end they stop one after the other, which takes at most a
  // few blocks, and silence follows.
  const auto silent = [](auto from, auto to) {
    return std::all_of(from, to, [](int16_t s) { return s == 0; });
  };
  const auto last_sound =
      std::find_if(recording.rbegin(), recording.rend(), [](int16_t s) { return s != 0; });
  const size_t end_of_sound = static_cast<size_t>(recording.rend() - last_sound);
  constexpr size_t stopping = 8 * 2 * fsound_block_frames;
  size_t best = 0;
  for (size_t start = 0; start < recording.size(); start += 2 * fsound_block_frames) {
    if (!silent(recording.begin(), recording.begin() + static_cast<long>(start))) break;
    const auto played = std::mismatch(recording.begin() + static_cast<long>(start), recording.end(),
                                      expected.begin());
    const size_t length = static_cast<size_t>(played.first - recording.begin()) - start;
    best = std::max(best, length);
    if (length >= 44100 && start + length + stopping >= end_of_sound) return;
  }
  ADD_FAILURE() << "the recording holds at most " << best / 2 << " frames of the rack's "
                << recording.size() / 2;
}

TEST_F(PanelStreams, EachUserValueRendersItsOwnPanelsInstrument) {
  constexpr int bytes = 4096;
  for (int i = 0; i < instrument_count; ++i) {
    EXPECT_EQ(instrument_of_panel(stream_user_values[i]), instrument_list[i]) << i;
    EXPECT_EQ(instrument_list[i], static_cast<INSTRUMENT*>(instrument_panels[i])) << i;
  }
  for (int i = 0; i < instrument_count; ++i) {
    std::vector<int32_t> counters;
    for (INSTRUMENT* instrument : instrument_list)
      counters.push_back(instrument->step_sample_counter);
    std::vector<unsigned char> buffer(bytes, 0x55);
    EXPECT_EQ(stream_callback(nullptr, buffer.data(), bytes, stream_user_values[i]), 1);
    EXPECT_NE(buffer, std::vector<unsigned char>(bytes, 0x55)) << "stream " << i << " untouched";
    for (int j = 0; j < instrument_count; ++j) {
      if (j == i)
        EXPECT_NE(instrument_list[j]->step_sample_counter, counters[j]) << "stream " << i;
      else
        EXPECT_EQ(instrument_list[j]->step_sample_counter, counters[j])
            << "stream " << i << " played instrument " << j;
    }
  }
}

// The panels, the plain instruments of the audio tools and the offline rack
// are built from one declaration: each list index holds the same engine under
// the same instrument number (counted from each build's first), and the
// offline rack's construction order gives those numbers.
TEST_F(PanelStreams, PanelsPlainInstrumentsAndTheOfflineRackAgree) {
  const auto panels = instrument_list;
  const auto panel_user_values = stream_user_values;
  build_instruments();
  const auto plain = instrument_list;
  instrument_list = panels;
  stream_user_values = panel_user_values;
  const int32_t rack_first = instrument_counter;
  engine_rack rack;
  const auto first_number = [](const auto& list) {
    int32_t first = list[0]->instrument_number;
    for (INSTRUMENT* instrument : list)
      first = std::min<int32_t>(first, instrument->instrument_number);
    return first;
  };
  const int32_t panel_first = first_number(panels), plain_first = first_number(plain);
  for (int i = 0; i < instrument_count; ++i) {
    const int32_t number = panels[i]->instrument_number - panel_first;
    EXPECT_EQ(plain[i]->instrument_number - plain_first, number) << i;
    EXPECT_STREQ(plain[i]->engine_name, panels[i]->engine_name) << i;
    ASSERT_GE(number, 0);
    ASSERT_LT(number, instrument_count);
    EXPECT_STREQ(rack.instrument(number).engine_name, panels[i]->engine_name) << i;
    EXPECT_EQ(rack.instrument(number).instrument_number, rack_first + number) << i;
  }
  for (INSTRUMENT* instrument : plain) delete instrument;
}

}  // namespace
