// zem-snapshot OUT.bmp: run in the runtime folder, opens the window as the
// program does (without sound), builds the rack of five panels from the
// layout files and writes the first picture of start-up, 800 x 625 pixels,
// as a 24-bit BMP file. Exit status 0 on success, 2 with one line on
// standard error otherwise.
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <string>

#include "frame_capture.h"
#include "layout_check.h"
#include "panel_rack.h"
#include "video.h"

namespace {

int fail(const std::string& why) {
  std::fprintf(stderr, "zem-snapshot: %s\n", why.c_str());
  return 2;
}

// The panels live until the process ends, as in the program.
panel_list rack;

// Building the panels prints the layout reader's trace on standard output,
// which is the program's console: keep it out of the tool's output.
panel_list build_rack_quietly() {
  std::fflush(stdout);
  const int console = dup(STDOUT_FILENO);
  std::FILE* quiet = std::freopen("/dev/null", "w", stdout);
  panel_list built = build_panel_rack();
  std::fflush(stdout);
  if (quiet != nullptr && console >= 0) dup2(console, STDOUT_FILENO);
  if (console >= 0) close(console);
  return built;
}

// Start-up's first picture: every panel's view in instrument-list order
// inside the 2D projection, read back just before it is presented.
void draw_first_picture(const std::string& out) {
  push_2d_projection(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT);
  for (INSTRUMENT_GUI* panel : rack) panel->update_view();
  pop_2d_projection();
  write_back_buffer_bmp(out);
  present_frame();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 || argv[1][0] == '\0' || argv[1][0] == '-') {
    return fail("usage: zem-snapshot OUT.bmp (run in the runtime folder)");
  }
  if (const auto problem = check_installation()) return fail(*problem);
  if (init_video() == 0) return fail("the window could not be opened");
  try {
    rack = build_rack_quietly();
    draw_first_picture(argv[1]);
  } catch (const std::exception& e) {
    return fail(e.what());
  }
  return 0;
}
