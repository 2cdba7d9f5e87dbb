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
#include "program_end.h"
#include "video.h"
#include "write_limit.h"

namespace {

int fail(const std::string& why) {
  std::fprintf(stderr, "zem-snapshot: %s\n", why.c_str());
  return 2;
}

// The panels live until the process ends, as in the program.
panel_list rack;

// Opening the window and building the panels print the program's console
// trace (textures loaded, layout lines read) on standard output: the tool
// keeps it out of its own output. Errors still reach standard error.
class quiet_standard_output {
 public:
  quiet_standard_output() : console_(dup(STDOUT_FILENO)) {
    std::fflush(stdout);
    if (console_ >= 0) muted_ = std::freopen("/dev/null", "w", stdout) != nullptr;
  }
  ~quiet_standard_output() {
    std::fflush(stdout);
    if (muted_) dup2(console_, STDOUT_FILENO);
    if (console_ >= 0) close(console_);
  }
  quiet_standard_output(const quiet_standard_output&) = delete;
  quiet_standard_output& operator=(const quiet_standard_output&) = delete;

 private:
  int console_;
  bool muted_ = false;
};

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
  report_writes_past_size_limit();
  if (argc != 2 || argv[1][0] == '\0' || argv[1][0] == '-') {
    return fail("usage: zem-snapshot OUT.bmp (run in the runtime folder)");
  }
  if (!use_x_display()) return fail("needs an X display, and DISPLAY is not set");
  if (const auto problem = check_installation()) return fail(*problem);
  // What would end the program (a label linked to no widget, say) ends the
  // tool with its one line instead.
  const program_end_throws not_here;
  try {
    {
      const quiet_standard_output quiet;
      if (init_video() == 0) {
        return fail(init_video_failure() == video_failure::font
                        ? std::string(FONT_FILE) + " cannot be used as the font"
                        : "the window could not be opened");
      }
      rack = build_panel_rack();
    }
    draw_first_picture(argv[1]);
  } catch (const std::exception& e) {
    return fail(e.what());
  }
  return 0;
}
