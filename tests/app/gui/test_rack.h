// The window and the rack of five real panels built from small layout files,
// in a private folder that borrows the textures and the font of the build's
// runtime folder. Shared by the tests of one program.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "app_test_support.h"
#include "panel_lists.h"
#include "program_startup.h"
#include "startup.h"
#include "temp_folder.h"

namespace rack_test {

// Every panel gets the same widgets, at these places relative to its origin:
// a knob with a tip label, pattern buttons 1 and 2, bank button 2, a power
// switch, and a background that the pointer never picks.
constexpr int knob_x = 100, knob_y = 60;
constexpr int pattern_button_x = 300, bank_button_x = 360, button_y = 60;
constexpr const char* small_section =
    "\"SLD_1_BASE\" \"KNOB\" \"MASK_KNOB\" 100 60 40 40 0\n"
    "\"LABEL;Volume;SLD_1_BASE;tip;\" \"NONE\" \"\" 0 -30 10 10 0\n"
    "\"BUTTON_PATTERN_1\" \"BUTTON_PATTERN_OFF\" \"\" 300 60 20 20 0\n"
    "\"BUTTON_PATTERN_2\" \"BUTTON_PATTERN_OFF\" \"\" 330 60 20 20 0\n"
    "\"BUTTON_PATTERN_12\" \"BUTTON_PATTERN_OFF\" \"\" 360 60 20 20 0\n"
    "\"BUTTON_TOGGLE_POWER\" \"CHK_2_ON\" \"\" 500 60 20 20 0\n"
    "\"BACKGROUND\" \"BACK_TB303\" \"\" 400 62 400 63 0\n";  // half sizes, as drawn

// The seed of the random notes of the panels' bass lines.
constexpr unsigned int random_seed = 1;

// The y of a panel's origin, by its index in instrument_panels.
constexpr int panel_top[] = {125, 0, 250, 375, 500};

inline void write_installation(const zem_test::temp_folder& folder) {
  for (const char* name : {"OPENGL.ZPK", "textures", "Test.ttf"})
    std::filesystem::create_symlink(std::string(ZEM_RUNTIME_DIR) + "/" + name, folder.file(name));
  std::filesystem::create_directory(folder.file("RC"));
  std::string layout;
  for (const char* section : {"TB303", "TB808", "OSC"})
    layout += std::string("BEGIN ") + section + "\n" + small_section + "END\n";
  layout += "EOF\n";
  for (const char* file : {"RC/TB303.RC", "RC/TB808.RC", "RC/OSC.RC"})
    std::ofstream(folder.file(file)) << layout;
}

// The window and the five panels, made once per test program, in the
// program's own start-up steps.
class RackTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (folder_) return;
    folder_ = std::make_unique<zem_test::temp_folder>();
    write_installation(*folder_);
    // An X server that has just lost its last client resets and refuses
    // connections for a moment: wait for it.
    for (int attempt = 0; attempt < 50 && SDL_Init(SDL_INIT_VIDEO) < 0; ++attempt) SDL_Delay(100);
    const std::filesystem::path here = std::filesystem::current_path();
    std::filesystem::current_path(folder_->path());
    testing::internal::CaptureStdout();
    start_video();
    // The bass lines fill their patterns with random notes: a known start.
    std::srand(random_seed);
    build_panels();
    testing::internal::GetCapturedStdout();
    std::filesystem::current_path(here);
  }

  static inline std::unique_ptr<zem_test::temp_folder> folder_;
};

}  // namespace rack_test
