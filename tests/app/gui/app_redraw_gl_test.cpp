// The redraw on the double-buffered window: whatever the back buffer holds
// after a swap, a frame that redraws one panel still shows all five.
#include <GL/gl.h>

#include <cstdlib>
#include <iterator>
#include <vector>

#include "redraw.h"
#include "test_rack.h"
#include "video.h"

namespace {
std::vector<unsigned char> screenshot(const zem_test::temp_folder& folder) {
  const std::string file = folder.file("window.rgb");
  const std::string command = "import -window root -crop 800x625+0+0 -depth 8 rgb:" + file;
  EXPECT_EQ(std::system(command.c_str()), 0);
  std::ifstream in(file, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in),
                                    std::istreambuf_iterator<char>());
}

// The picture that the window shows (RGB, top row first), once the X server
// has the last presented frame: two screenshots in a row agree.
std::vector<unsigned char> front_picture(const zem_test::temp_folder& folder) {
  glFinish();
  std::vector<unsigned char> last = screenshot(folder);
  for (int i = 0; i < 50; ++i) {
    std::vector<unsigned char> now = screenshot(folder);
    if (now == last) break;
    last = std::move(now);
  }
  return last;
}

// Rows of the window (from the top) of the panel at this index.
std::vector<unsigned char> band(const std::vector<unsigned char>& picture, int panel) {
  const int top = rack_test::panel_top[panel];
  const auto row = [&](int y) {
    return picture.begin() + (WINDOW_HEIGHT - 1 - y) * WINDOW_WIDTH * 3;
  };
  return std::vector<unsigned char>(row(top + 124), row(top) + WINDOW_WIDTH * 3);
}

class Redraw : public rack_test::RackTest {};

TEST_F(Redraw, AFrameThatRedrawsOnePanelShowsAllFiveOverAnyBackBuffer) {
  draw_first_picture();
  // A panel shows the lights that its previous drawing set: once more for
  // a picture that no longer changes.
  redraw_rack(true);
  const std::vector<unsigned char> first = front_picture(*folder_);
  ASSERT_EQ(first.size(), size_t{WINDOW_WIDTH * WINDOW_HEIGHT * 3});
  for (int panel = 0; panel < 5; ++panel)
    EXPECT_NE(band(first, panel), std::vector<unsigned char>(WINDOW_WIDTH * 125 * 3, 0)) << panel;

  // Garbage in the back buffer, as a swap may leave it; then only panel 2 is marked.
  glClearColor(1, 0, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glClearColor(0, 0, 0, 0);
  dirty_list.assign(1, 2);
  redraw_rack(false);
  const std::vector<unsigned char> next = front_picture(*folder_);
  for (int panel : {0, 1, 3, 4}) EXPECT_EQ(band(next, panel), band(first, panel)) << panel;

  // The whole rack drawn afresh looks the same (but for the order in which
  // the one row that two backgrounds share is painted).
  redraw_rack(true);
  const std::vector<unsigned char> whole = front_picture(*folder_);
  for (int panel : {0, 1, 3, 4}) EXPECT_EQ(band(whole, panel), band(next, panel)) << panel;
}
}  // namespace
