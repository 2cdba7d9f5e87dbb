// One panel's answer to a knob drag: 100 "SLD_DOWN" records on a held knob
// (a 100-pixel drag), then process_events and update_view, as the main loop
// runs them for one input step.
//
//   xvfb-run -a -s "-screen 0 1024x768x24 -noreset" panels_bench [runtime folder]
//
// The runtime folder must hold RC/TB303.RC, OPENGL.ZPK with its images and
// Test.ttf; without it a synthetic installation is written to a temporary
// folder: a bass-line layout of about 100 widgets (background, knobs, switches,
// pattern buttons, step lights, note sliders and 30 linked labels) over
// small solid images.
#include <GL/gl.h>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "panel_names.h"
#include "tb303_gui.h"
#include "texture_library.h"
#include "video.h"
#include "widget_event.h"

namespace {

namespace fs = std::filesystem;

void write_bmp(const fs::path& path, Uint8 shade) {
  SDL_Surface* surface =
      SDL_CreateRGBSurface(SDL_SWSURFACE, 32, 32, 24, 0xff0000, 0x00ff00, 0x0000ff, 0);
  SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, shade, 255 - shade, shade / 2));
  SDL_SaveBMP(surface, path.c_str());
  SDL_FreeSurface(surface);
}

std::string item(const std::string& name, const char* image, int x, int y, int size) {
  return "\"" + name + "\" \"" + image + "\" \"\" " + std::to_string(x) + " " + std::to_string(y) +
         " " + std::to_string(size) + " " + std::to_string(size) + " 0\n";
}

// A bass-line section laid out in rows across the 800 x 125 band.
std::string synthetic_layout() {
  std::string rc = "BEGIN TB303\n" + item("BACKGROUND", "BACK", 400, 62, 400);
  for (int k = 1; k <= 7; ++k) {
    rc += item("SLD_" + std::to_string(k) + "_BASE", "KNOB", 20 + 40 * k, 30, 12);
  }
  for (int k = 1; k <= 3; ++k)
    rc += item("SLD_NOISE_" + std::to_string(k), "KNOB", 330 + 40 * k, 30, 12);
  for (int k = 1; k <= 3; ++k) {
    rc += item("SLD_LFO_ENVELOPPE_" + std::to_string(k), "KNOB", 480 + 40 * k, 30, 12);
    rc += item("SLD_LFO_FILTER_" + std::to_string(k), "KNOB", 600 + 40 * k, 30, 12);
  }
  for (const char* s :
       {"POWER", "FILTER", "ENVELOPPE", "DISTORT", "NOISE", "LFO_ENVELOPPE", "LFO_FILTER"}) {
    static int column = 0;
    rc += item(std::string("BUTTON_TOGGLE_") + s, "CHK_2_OFF", 60 + 40 * (column++ % 7), 60, 6);
  }
  for (int n = 1; n <= 8; ++n) {
    rc += item("BUTTON_PATTERN_" + std::to_string(n), "BUTTON_PATTERN_OFF", 360 + 20 * n, 60, 6);
  }
  for (int n = 11; n <= 14; ++n) {
    rc += item("BUTTON_PATTERN_" + std::to_string(n), "BUTTON_PATTERN_OFF", 340 + 20 * n, 60, 6);
  }
  for (int n = 1; n <= 16; ++n) {
    rc += item("BUTTON_ACT_NOTE_" + std::to_string(n), "CHK_1_ON", 30 + 40 * n, 85, 4);
  }
  for (int k = 0; k < 16; ++k) {
    rc += item("SLD_" + std::to_string(k) + "_NOTE", "KNOB", 30 + 40 * k, 105, 8);
  }
  rc += item("SLD_PARAM1", "KNOB", 700, 60, 12) + item("SLD_PARAM2", "KNOB", 740, 60, 12);
  rc += item("BUTTON_TOGGLE_OSC_TYPE", "CHK_2_OFF", 700, 90, 6) +
        item("DISP_WAVE", "DISP_SIN", 740, 90, 12);
  for (int k = 1; k <= 7; ++k) {
    rc += item("LABEL;Knob;SLD_" + std::to_string(k) + "_BASE;;", "", 0, -14, 0);
  }
  for (int k = 0; k < 16; ++k) {
    rc += item("LABEL;Note;SLD_" + std::to_string(k) + "_NOTE;tip;", "", 0, -12, 0);
  }
  for (int k = 0; k < 7; ++k) rc += item("LABEL;Section;;;", "", 40 + 100 * k, 4, 0);
  return rc + "END\nEOF\n";
}

fs::path write_synthetic_installation() {
  std::string pattern = (fs::temp_directory_path() / "zem-panels-bench-XXXXXX").string();
  const fs::path folder = mkdtemp(pattern.data());
  std::string index = "ZPK 1\n";
  int shade = 0;
  for (const char* name : {"FIRST", "BACK", "KNOB", "CHK_1_ON", "CHK_1_OFF", "CHK_2_ON",
                           "CHK_2_OFF", "BUTTON_PATTERN_ON", "BUTTON_PATTERN_OFF", "DISP_SIN",
                           "DISP_SAW", "DISP_TRI", "DISP_SQR"}) {
    const std::string file = std::string(name) + ".bmp";
    write_bmp(folder / file, static_cast<Uint8>(shade += 19));
    index += std::string(name) + " " + file + " SIMPLEPART\n";
  }
  std::FILE* out = std::fopen((folder / "OPENGL.ZPK").c_str(), "w");
  std::fputs((index + "END\n").c_str(), out);
  std::fclose(out);
  fs::create_directory(folder / "RC");
  out = std::fopen((folder / "RC/TB303.RC").c_str(), "w");
  std::fputs(synthetic_layout().c_str(), out);
  std::fclose(out);
  fs::copy_file("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", folder / "Test.ttf");
  return folder;
}

// The start-up trace of the archive and layout readers is not the
// benchmark's output.
template <typename Run>
void silently(Run run) {
  std::fflush(stdout);
  const int console = dup(1);
  const int null_device = open("/dev/null", O_WRONLY);
  dup2(null_device, 1);
  run();
  std::fflush(stdout);
  dup2(console, 1);
  close(console);
  close(null_device);
}

std::unique_ptr<TB303_GUI> panel;

// Arguments: the knob dragged (the "SLD_" key of a generic or a bass-line
// knob) and whether the panel is drawn after its events, as the main loop
// does; without drawing, the event pass alone is measured.
void BM_knob_drag(benchmark::State& state, const char* key, bool draw) {
  SPRITE* knob = find_companion(key, nullptr, panel->items);
  if (knob == nullptr) {
    state.SkipWithError("the layout has no such knob");
    return;
  }
  knob->pressed = 1;  // held by the left button, so drawn larger with its read-out
  for (auto _ : state) {
    for (int pixel = 0; pixel < 100; ++pixel) {
      queue_event(*panel, std::make_unique<widget_event>(0, nullptr, "SLD_DOWN", knob));
    }
    push_2d_projection(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT);
    panel->process_events();
    if (draw) panel->update_view();
    pop_2d_projection();
    glFinish();
    // Back to the start value, outside the measurement, so every drag does
    // the same work.
    state.PauseTiming();
    panel->wave_divisor = 1.0f;
    panel->filter_level = 3500;
    state.ResumeTiming();
  }
  knob->pressed = 0;
  state.counters["records"] = 100;
}
BENCHMARK_CAPTURE(BM_knob_drag, filter_level, "SLD_3_BASE", true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_knob_drag, wave_divisor, "SLD_PARAM1", true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_knob_drag, filter_level_events_only, "SLD_3_BASE", false)
    ->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  const bool own_folder = argc < 2;
  const fs::path folder = own_folder ? write_synthetic_installation() : fs::path(argv[1]);
  fs::current_path(folder);
  int video = 0;
  silently([&] {
    video = init_video();
    if (video) panel = std::make_unique<TB303_GUI>("808_1", 0, 125, 1);
  });
  if (!video) return 1;
  std::fprintf(stderr, "panel of %zu widgets from %s\n", panel->items.size(), folder.c_str());

  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  panel.reset();
  if (own_folder) fs::remove_all(folder);
  return 0;
}
