// The real program in a real window (Xvfb, Mesa): start-up, the picture,
// the caption, a tip label under the pointer, knob drags heard in the
// recording, pattern buttons, widget moves, the rack's clock keys, ESC, the
// window's close request, and a start on the JACK output against a real
// server.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <regex>

#include "jack_server.h"
#include "window_session.h"

namespace {
using window_test::session;
using window_test::shell;
using window_test::wait_until;

void drag(session& zem, int button, int x, int y, int to_x, int to_y) {
  const std::string b = std::to_string(button);
  zem.xdotool("mousemove " + std::to_string(x) + " " + std::to_string(y) + " mousedown " + b +
              " mousemove " + std::to_string(to_x) + " " + std::to_string(to_y) + " mouseup " + b);
}
void click(session& zem, const window_test::widget& w) {
  zem.xdotool("mousemove " + std::to_string(w.x) + " " + std::to_string(w.y) + " click 1");
}

// The lines that start-up prints from the banner to the layout traces, in order.
void expect_start_up_text(const std::string& out) {
  const std::vector<std::string> expected = {
      "ZEM_ENGINE V4.0\n---------------\n\nInit Sound\n",
      "4 - NoSound\n",
      "NoSound Driver list\n",
      "2 - Record to session.wav\n",
      "Init Video\nPIXLO - Loading all textures\n",
      "FreeType - Loading all Fonts\nID 0 \nInstrument named [TB808]\n",
      "ID 1 \nInstrument named [TB303]\n",
      "ID 4 \nInstrument named [OSC]\n",
      "ID 3 \nInstrument named [TB303]\n",
      "ID 1 \nInstrument named [TB808]\n",
      "INSTANCIE [SLD_1_BASE_INSTRUMENT_4]\n",
  };
  size_t at = 0;
  for (const std::string& text : expected) {
    const size_t found = out.find(text, at);
    ASSERT_NE(found, std::string::npos) << "missing or out of order: " << text << "\n" << out;
    at = found + text.size();
  }
}

TEST(AppWindow, StartsInAWindowOf800By625WithCaptionTipLabelsAndEndsOnTheCloseRequest) {
  session zem;
  ASSERT_FALSE(zem.window().empty()) << zem.output();
  EXPECT_NE(shell("xdotool getwindowgeometry " + zem.window()).find("Geometry: 800x625"),
            std::string::npos);
  // The first picture: every panel band shows something.
  const auto every_band_shows = [&](int band_height) {
    for (int band = 0; band < 5; ++band)
      if (window_test::bright_pixels(
              zem.picture(0, band_height * band, band_height * 800 / 125, band_height)) == 0)
        return false;
    return true;
  };
  ASSERT_TRUE(wait_until([&] { return every_band_shows(125); })) << "no first picture";
  shell("import -window " + zem.window() + " " + ZEM_ARTIFACT_DIR + "/startup.png");
  expect_start_up_text(zem.output());

  // The oscillator's first step knob has a tip label, shown only under the pointer.
  const auto widgets = zem.dump();
  ASSERT_TRUE(widgets.count("SLD_0_NOTE_2")) << zem.output();
  const auto knob = widgets.at("SLD_0_NOTE_2");
  const auto tip_area = [&] {
    return window_test::bright_pixels(zem.picture(knob.x - 16, knob.y - 2, 40, 12));
  };
  zem.xdotool("mousemove 795 620");
  zem.dump();
  const int without_tip = tip_area();
  zem.xdotool("mousemove " + std::to_string(knob.x) + " " + std::to_string(knob.y));
  EXPECT_TRUE(wait_until([&] { return tip_area() > without_tip + 5; }, 20))
      << "no tip label: " << without_tip << " bright pixels before, " << tip_area() << " after";

  // Redraws for five seconds put the frame rate in the caption.
  const std::regex caption("[0-9]+ frames in [0-9.e+]+ seconds = [0-9.e+]+ FPS\n");
  int nudge = 0;
  EXPECT_TRUE(wait_until([&] {
    zem.xdotool("mousemove " + std::to_string(knob.x + (++nudge % 2) * 60) + " " +
                std::to_string(knob.y));
    return std::regex_search(shell("xdotool getwindowname " + zem.window()), caption);
  }));

  // After all those one-panel redraws, and after a resize, the window still
  // shows every panel, its text stretched with it: the first pattern counter,
  // right of pattern button 4, goes to 6/5 of its place.
  EXPECT_TRUE(wait_until([&] { return every_band_shows(125); }));
  const auto b = widgets.at("BUTTON_PATTERN_4_0");
  const auto counter = [&](int f) {
    return window_test::bright_pixels(
        zem.picture((b.x + 20) * f / 5, (b.y - 8) * f / 5, 12 * f, 3 * f));
  };
  const int counter_pixels = counter(5);
  zem.xdotool("windowsize %W 960 750");
  EXPECT_TRUE(wait_until([&] { return every_band_shows(150); })) << "no whole frame after a resize";
  EXPECT_TRUE(wait_until([&] { return counter(6) > counter_pixels / 2; })) << counter_pixels;

  zem.close_window();
  const auto result = zem.finish();
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_TRUE(std::regex_search(result.out, std::regex("Late audio blocks: [0-9]+\n$")))
      << result.out.substr(result.out.size() - std::min<size_t>(result.out.size(), 300));
}

TEST(AppWindow, KnobsSwitchesPatternButtonsAndMovesActOnTheRunningRack) {
  session zem;
  ASSERT_FALSE(zem.window().empty()) << zem.output();
  auto widgets = zem.dump();
  ASSERT_TRUE(widgets.count("BUTTON_PATTERN_3_0")) << zem.output();

  // A click on pattern button 3 of the first drum machine queues pattern 2:
  // at the end of the pass the engine plays it and its buttons follow.
  click(zem, widgets.at("BUTTON_PATTERN_3_0"));
  EXPECT_TRUE(wait_until([&] {
    const auto now = zem.dump();
    return now.at("BUTTON_PATTERN_3_0").image == "BUTTON_PATTERN_ON" &&
           now.at("BUTTON_PATTERN_1_0").image == "BUTTON_PATTERN_OFF";
  }));
  // The first pattern, where the rack started, comes back from its button.
  click(zem, widgets.at("BUTTON_PATTERN_1_0"));
  EXPECT_TRUE(
      wait_until([&] { return zem.dump().at("BUTTON_PATTERN_1_0").image == "BUTTON_PATTERN_ON"; }));

  // Only the first bass line plays: it is heard.
  for (int n : {0, 2, 3, 4}) click(zem, widgets.at("BUTTON_TOGGLE_POWER_" + std::to_string(n)));
  widgets = zem.dump();
  for (int n : {0, 2, 3, 4})
    EXPECT_EQ(widgets.at("BUTTON_TOGGLE_POWER_" + std::to_string(n)).image, "CHK_2_OFF") << n;
  const int full = level_from_now(zem);
  EXPECT_GT(full, 1000);

  // Its volume (0.5) steps by 0.01 per pixel of upward drag: 49 pixels leave
  // a fiftieth of the level, one more makes it silent, 25 down give half.
  const auto volume = widgets.at("SLD_1_BASE_1");
  drag(zem, 1, volume.x, volume.y, volume.x, volume.y - 49);
  const int fiftieth = level_from_now(zem);
  EXPECT_GT(fiftieth, 0);
  EXPECT_LT(fiftieth, full / 25);
  drag(zem, 1, volume.x, volume.y, volume.x, volume.y - 1);
  EXPECT_EQ(level_from_now(zem), 0);
  drag(zem, 1, volume.x, volume.y, volume.x, volume.y + 25);
  const int half = level_from_now(zem);
  EXPECT_GT(half, full * 4 / 10);
  EXPECT_LT(half, full * 6 / 10);

  // All five off: silence.
  click(zem, widgets.at("BUTTON_TOGGLE_POWER_1"));
  EXPECT_EQ(level_from_now(zem), 0);

  // A right-drag moves a knob onto the 4-pixel grid, where the dump finds it.
  const auto knob = widgets.at("SLD_2_BASE_3");
  const size_t from = zem.output().size();
  drag(zem, 3, knob.x, knob.y, knob.x + 13, knob.y + 7);
  const auto moved = zem.dump().at("SLD_2_BASE_3");
  EXPECT_EQ(moved.x, (knob.x + 13) / 4 * 4);
  EXPECT_EQ(moved.y, (knob.y + 7) / 4 * 4);
  char placed[40];
  std::snprintf(placed, sizeof placed, "Placed on %3d %3d \n", knob.x + 13, knob.y + 7);
  EXPECT_NE(zem.output().find(placed, from), std::string::npos);

  const auto result = zem.quit_with("Escape");
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_TRUE(std::regex_search(result.out, std::regex("Late audio blocks: [0-9]+\n$")));
  EXPECT_TRUE(zem_test::read_wav(zem.folder().file("session.wav")).valid);
}

// The rack's clock keys: the caption tells nothing new until one is used; then
// it shows the tempo and the sync source, a read-out shows over the panels
// for a moment, and Space silences the rack and brings it back.
TEST(AppWindow, TempoStartStopAndSyncKeysAreHeardAndShown) {
  session zem;
  ASSERT_FALSE(zem.window().empty()) << zem.output();
  const auto caption = [&] { return shell("xdotool getwindowname " + zem.window()); };
  // Sends the key until the caption begins with `text`: a synthetic key is now and then lost.
  const auto press = [&](const std::string& key, const std::string& text) {
    for (int attempt = 0; attempt < 5; ++attempt) {
      zem.key(key);
      if (wait_until([&] { return caption().find(text) == 0; }, 5)) return true;
    }
    return false;
  };
  const auto dark_in_readout = [&] {
    const std::string rgb = zem.picture(300, 290, 200, 45);
    return std::count_if(rgb.begin(), rgb.end(), [](char c) { return (unsigned char)c < 24; });
  };
  EXPECT_EQ(caption().find("BPM"), std::string::npos);
  const auto dark_before = dark_in_readout();
  EXPECT_TRUE(press("Up", "121.0 BPM | internal clock"));
  EXPECT_TRUE(press("shift+Up", "121.1 BPM | internal clock"));
  EXPECT_GT(dark_in_readout(), dark_before + 6000);
  shell("import -window " + zem.window() + " " + ZEM_ARTIFACT_DIR + "/tempo.png");
  EXPECT_TRUE(wait_until([&] { return dark_in_readout() <= dark_before; }, 10));
  EXPECT_TRUE(press("space", "121.1 BPM, stopped"));
  EXPECT_EQ(level_from_now(zem), 0);
  EXPECT_TRUE(press("space", "121.1 BPM | internal clock"));
  EXPECT_GT(level_from_now(zem), 1000);
  EXPECT_TRUE(press("s", "--- BPM, stopped | MIDI clock"));
}

TEST(AppWindow, PlaysThroughAJackServerAndQuitsCleanly) {
  auto server = std::make_unique<zem_test::jack_server>();
  const zem_test::jack_server& jack = *server;
  ASSERT_TRUE(jack.wait_until_running()) << "jackd did not start";
  session zem("31", {jack.environment()});
  ASSERT_FALSE(zem.window().empty()) << zem.output();
  EXPECT_NE(zem.output().find("ASIO Driver list\n"), std::string::npos);
  // Our output port feeds the server's playback port.
  const std::regex connected(":out_0\n +system:playback_1\n");
  EXPECT_TRUE(wait_until([&] { return std::regex_search(jack.ports(), connected); }))
      << jack.ports();
  // Under the program's own name, both ports, and no client of a library.
  const std::string ports = jack.ports();
  for (const char* port : {"zem:out_0\n +system:playback_1\n", "zem:out_1\n +system:playback_2\n"})
    EXPECT_TRUE(std::regex_search(ports, std::regex(port))) << ports;
  EXPECT_EQ(ports.find("PortAudio"), std::string::npos) << ports;
  // A server that goes away is reported once; the program still quits cleanly.
  server.reset();
  EXPECT_TRUE(zem.wait_for_output("The sound stopped: the JACK server shut zem down"));
  const auto result = zem.quit_with("Escape");
  EXPECT_EQ(result.exit_code, 0) << result.out;
  EXPECT_TRUE(std::regex_search(result.out, std::regex("Late audio blocks: [0-9]+\n$")));
}
}  // namespace
