// zem-redraw-bench: how long one frame takes after a knob step, from the
// widget events handled to the frame presented, for three ways of drawing
// on the double-buffered window:
//   whole rack   the marked panel consumes its events, then all five panels
//                are drawn on a cleared buffer;
//   kept frame   the program's way: the last picture, kept in a texture that
//                survives the swap, is drawn back, the marked panel over it,
//                and the result is kept again;
//   one panel    only the marked panel is drawn (what a swap that kept the
//                back buffer would allow; on most drivers it shows stale panels).
// Each frame ends with glFinish, so that the time includes the drawing.
//
// Run it in the runtime folder (textures, font, layouts) with a display:
//   cd build/release/runtime &&
//   xvfb-run -a -s "-screen 0 1024x768x24 -noreset" ./zem-redraw-bench [frames]
#include <GL/gl.h>
#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "panel_lists.h"
#include "program_startup.h"
#include "redraw.h"
#include "video.h"
#include "widget_event.h"

namespace {
double now_ms() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// One pixel of knob drag on the first bass line's volume, as the input loop queues it.
void queue_knob_step(int step) {
  INSTRUMENT_GUI& panel = *instrument_panels[0];
  SPRITE* knob = nullptr;
  for (SPRITE* item : panel.items)
    if (std::strncmp(item->control_name, "SLD_1_BASE_", 11) == 0) knob = item;
  if (knob == nullptr) {
    std::fprintf(stderr, "no volume knob on the first panel\n");
    std::exit(2);
  }
  knob->pressed = 1;  // held: its read-out is drawn too
  queue_event(panel,
              std::make_unique<widget_event>(0, nullptr, step % 2 ? "SLD_UP" : "SLD_DOWN", knob));
  dirty_list.assign(1, 0);
}

void draw_one_panel() {
  push_2d_projection(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT);
  instrument_panels[0]->process_events();
  instrument_panels[0]->update_view();
  pop_2d_projection();
  present_frame();
}

void report(const char* name, std::vector<double> times) {
  std::sort(times.begin(), times.end());
  const auto at = [&](double q) { return times[static_cast<size_t>(q * (times.size() - 1))]; };
  std::printf("  %-11s median %6.2f  p90 %6.2f  max %6.2f ms\n", name, at(0.5), at(0.9),
              times.back());
}

template <typename Draw>
std::vector<double> measure(int frames, Draw draw) {
  std::vector<double> times;
  for (int i = 0; i < frames; ++i) {
    queue_knob_step(i);
    const double start = now_ms();
    draw();
    glFinish();
    times.push_back(now_ms() - start);
  }
  return times;
}
}  // namespace

int main(int argc, char** argv) {
  const int frames = argc > 1 ? std::max(10, std::atoi(argv[1])) : 300;
  // The start-up traces go to /dev/null: only the measure is printed.
  std::fflush(stdout);
  const int console = dup(STDOUT_FILENO);
  const int null = open("/dev/null", O_WRONLY);
  dup2(null, STDOUT_FILENO);
  start_video();
  build_panels();
  draw_first_picture();
  std::fflush(stdout);
  dup2(console, STDOUT_FILENO);
  std::printf("redraw after one knob step, %d frames each, events handled to frame presented:\n",
              frames);
  report("whole rack", measure(frames, [] { redraw_rack(true); }));
  report("kept frame", measure(frames, [] { redraw_rack(false); }));
  report("one panel", measure(frames, draw_one_panel));
  quit_program(0);
}
