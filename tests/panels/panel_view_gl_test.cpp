// The panels' drawing, read back from the frame: held widgets drawn larger
// with their read-outs, step lights and buttons showing their pictures,
// note read-outs, labels and the pattern counter, and the exit on a label
// whose widget is missing.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <vector>

#include "../gfx/gl/gfx_gl_window.h"
#include "panel_test_support.h"

namespace {

using namespace gfx_test;
using namespace panel_test;

// A solid picture for every image the panels switch to; unknown names show
// the first, magenta.
const struct {
  const char* name;
  rgb colour;
} pictures[] = {
    {"FIRST", MAGENTA},          {"KNOB", YELLOW},
    {"CHK_1_ON", GREEN},         {"CHK_1_OFF", RED},
    {"BUTTON_PATTERN_ON", BLUE}, {"BUTTON_PATTERN_OFF", WHITE},
};

class PanelViewGlTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (folder_) return;
    folder_ = std::make_unique<zem_test::temp_folder>();
    std::string index = "ZPK 1\n";
    for (const auto& p : pictures) {
      write_solid_bmp24(folder_->file(std::string(p.name) + ".bmp"), 4, 4, p.colour);
      index += std::string(p.name) + " " + p.name + ".bmp SIMPLEPART\n";
    }
    write_text(folder_->file("OPENGL.ZPK"), index + "END\n");
    std::filesystem::copy_file(test_font_source(), folder_->file("Test.ttf"));
    ASSERT_EQ(init_video_in(*folder_), 1);
  }

  void SetUp() override {
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  }

  static void draw(INSTRUMENT_GUI& panel) {
    push_2d_projection(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT);
    EXPECT_EQ(panel.update_view(), 1);
    pop_2d_projection();
  }

  // Text pixels in the block of the 2D projection from (x0, y0), w x h:
  // those brighter than the black background.
  static int lit_pixels(int x0, int y0, int w, int h) {
    std::vector<GLubyte> block(3 * w * h);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x0, WINDOW_HEIGHT - y0 - h, w, h, GL_RGB, GL_UNSIGNED_BYTE, block.data());
    int lit = 0;
    for (std::size_t i = 0; i < block.size(); i += 3) lit += block[i] + block[i + 1] > 160;
    return lit;
  }

  static inline std::unique_ptr<zem_test::temp_folder> folder_;
};

TEST_F(PanelViewGlTest, HeldKnobIsDrawnHalfAsLargeAgainWithItsReadout) {
  auto panel = make_panel(knob_panel::tb303);
  SPRITE& knob = add_widget(*panel, "SLD_PARAM1", "KNOB", 200, 200, 10, 10);
  draw(*panel);
  EXPECT_PIXEL(208, 200, YELLOW);
  EXPECT_PIXEL(213, 200, BLACK);
  EXPECT_EQ(lit_pixels(230, 195, 60, 30), 0);  // right of the knob, baseline at y 220

  knob.pressed = 1;
  draw(*panel);
  EXPECT_PIXEL(213, 200, YELLOW);  // 15 either side of the centre
  EXPECT_PIXEL(200, 186, YELLOW);
  EXPECT_PIXEL(217, 200, BLACK);
  EXPECT_EQ(knob.width, 10.0f);
  EXPECT_EQ(knob.height, 10.0f);
  EXPECT_GT(lit_pixels(230, 195, 60, 30), 20);

  // Over white text a negative value keeps its minus sign, drawn with a dark rim.
  add_widget(*panel, "PLATE", "BUTTON_PATTERN_OFF", 260, 215, 30, 15);  // white, x 230 to 290
  for (const float divisor : {-1.0f, 1.0f}) {  // "%2.2f" from x 235, a sign first or not
    bass(*panel).wave_divisor = divisor;
    draw(*panel);
    EXPECT_EQ(7 * 12 - lit_pixels(234, 208, 7, 12) > 4, divisor < 0) << divisor;
  }
}

TEST_F(PanelViewGlTest, BassNoteSlidersFollowThePlayingPatternAndShowWhileTouched) {
  auto panel = make_panel(knob_panel::tb303);
  SPRITE& slider = add_widget(*panel, "SLD_7_NOTE", "KNOB", 300, 300, 5, 5);
  bass(*panel).pattern_memory[4][7] = 130.81f;
  panel->current_pattern = 4;
  draw(*panel);
  EXPECT_EQ(slider.angle, 130);
  EXPECT_EQ(lit_pixels(285, 307, 60, 18), 0);  // baseline at y 320, left of the slider

  slider.touched = 1;
  draw(*panel);
  EXPECT_GT(lit_pixels(285, 307, 60, 18), 20);
}

TEST_F(PanelViewGlTest, StepLightsStepButtonsAndPatternButtonsShowTheirPictures) {
  auto panel = make_panel(knob_panel::tb808);
  TB808_GUI& drum = drums(*panel);
  SPRITE& light_1 = add_widget(*panel, "BUTTON_ACT_NOTE_1", "FIRST", 100, 150);
  SPRITE& light_5 = add_widget(*panel, "BUTTON_ACT_NOTE_5", "FIRST", 140, 150);
  add_widget(*panel, "BUTTON_TOGGLE_SEQ_0", "FIRST", 100, 200);
  add_widget(*panel, "BUTTON_TOGGLE_SEQ_1", "FIRST", 140, 200);
  SPRITE& pattern_6 = add_widget(*panel, "BUTTON_PATTERN_6", "FIRST", 300, 150);
  SPRITE& pattern_1 = add_widget(*panel, "BUTTON_PATTERN_1", "FIRST", 340, 150);
  SPRITE& bank_12 = add_widget(*panel, "BUTTON_PATTERN_12", "FIRST", 300, 200);
  drum.current_step = 5;
  drum.current_pattern = 13;
  drum.pattern_memory[13][0] = 1;
  drum.pattern_memory[13][1] = 0;

  // The step buttons take the playing pattern's steps before drawing; the
  // lights and pattern buttons are set after, for the next picture.
  draw(*panel);
  EXPECT_PIXEL(100, 200, GREEN);
  EXPECT_PIXEL(140, 200, RED);
  EXPECT_PIXEL(100, 150, MAGENTA);
  EXPECT_STREQ(light_5.name, "CHK_1_OFF");
  EXPECT_STREQ(light_1.name, "CHK_1_ON");
  EXPECT_STREQ(pattern_6.name, "BUTTON_PATTERN_ON");
  EXPECT_STREQ(pattern_1.name, "BUTTON_PATTERN_OFF");
  EXPECT_STREQ(bank_12.name, "BUTTON_PATTERN_ON");

  draw(*panel);
  EXPECT_PIXEL(100, 150, GREEN);
  EXPECT_PIXEL(140, 150, RED);
  EXPECT_PIXEL(300, 150, BLUE);
  EXPECT_PIXEL(340, 150, WHITE);
  EXPECT_PIXEL(300, 200, BLUE);
}

TEST_F(PanelViewGlTest, OscillatorNotesAreAlwaysShownAndLargerWhileHeld) {
  auto panel = make_panel(knob_panel::osc);
  SPRITE& note = add_widget(*panel, "SLD_2_NOTE", "KNOB", 300, 200, 5, 5);
  SPRITE& factor = add_widget(*panel, "SLD_OSC1_FACTOR", "KNOB", 500, 200, 5, 5);
  draw(*panel);
  const int small = lit_pixels(285, 207, 50, 18);  // baseline at y 220
  EXPECT_GT(small, 5);
  EXPECT_EQ(lit_pixels(530, 195, 60, 30), 0);  // the factor only while held

  SetUp();
  note.pressed = 1;
  factor.pressed = 1;
  draw(*panel);
  EXPECT_GT(lit_pixels(270, 209, 70, 20), 2 * small);  // large, baseline at y 225
  EXPECT_GT(lit_pixels(530, 195, 60, 30), 20);
}

TEST_F(PanelViewGlTest, LabelsFollowTheirWidgetAndTheCounterStandsByPatternButton4) {
  auto panel = make_panel(knob_panel::tb303);
  SPRITE& knob = add_widget(*panel, "SLD_1_BASE", "KNOB", 200, 250, 4, 4);
  add_widget(*panel, "LABEL;Vol;SLD_1_BASE;;", "", 0, 125 - 12);  // 12 above the knob
  add_widget(*panel, "LABEL;Tip;SLD_1_BASE;tip;", "", 0, 125 + 30);
  add_widget(*panel, "LABEL;Top;;;", "", 600, 140);  // from the panel's origin
  add_widget(*panel, "BUTTON_PATTERN_4", "FIRST", 400, 300, 4, 4);
  draw(*panel);
  const int small = lit_pixels(198, 228, 40, 12);  // baseline at y 238
  EXPECT_GT(small, 5);
  EXPECT_EQ(lit_pixels(198, 270, 40, 12), 0);   // the tip waits for the pointer
  EXPECT_GT(lit_pixels(598, 137, 40, 12), 5);   // baseline 7 below its y
  EXPECT_GT(lit_pixels(418, 285, 80, 22), 20);  // "  1/ 22", baseline at y 305

  SetUp();
  knob.pressed = 1;
  knob.touched = 1;
  draw(*panel);
  EXPECT_GT(lit_pixels(198, 222, 60, 18), 2 * small);
  EXPECT_GT(lit_pixels(198, 270, 40, 12), 5);
}

TEST_F(PanelViewGlTest, ALabelLinkedToAMissingWidgetEndsTheProgram) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");  // the GL driver runs threads
  auto panel = make_panel(knob_panel::osc);
  add_widget(*panel, "LABEL;Vol;SLD_9_BASE;;", "", 0, 0);
  EXPECT_EXIT(
      {
        dup2(2, 1);  // the console message, seen by the death test
        draw(*panel);
      },
      ::testing::ExitedWithCode(255),
      "Your RC failed \nLine \\[LABEL;Vol;SLD_9_BASE;;_INSTRUMENT_[0-9]+\\] Linked to "
      "\\[SLD_9_BASE\\]\n SLD_9_BASE Doesn't seem to exist\n");
}

}  // namespace
