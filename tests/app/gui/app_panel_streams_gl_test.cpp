// The program's streams carry their panel as user value: each one renders its
// own panel's instrument, through the stream callback and live on the audio
// layer's thread.
#include <cstring>
#include <vector>

#include "fsound.h"
#include "panel_streams.h"
#include "stream_callback.h"
#include "test_rack.h"

namespace {

class PanelStreams : public rack_test::RackTest {};

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

TEST_F(PanelStreams, TheFiveStreamsPlayTheirPanelsLive) {
  app_test::start_nosound();
  for (INSTRUMENT* instrument : instrument_list) {
    instrument->current_step = 0;
    instrument->step_sample_counter = 0;
  }
  create_streams();
  start_streams();
  bool all_played = false;
  for (int i = 0; i < 500 && !all_played; ++i) {
    SDL_Delay(10);
    all_played = true;
    for (INSTRUMENT* instrument : instrument_list) all_played &= app_test::has_played(instrument);
  }
  testing::internal::CaptureStdout();
  shut_down();
  EXPECT_NE(testing::internal::GetCapturedStdout().find("Late audio blocks: "), std::string::npos);
  EXPECT_TRUE(all_played);
}
}  // namespace
