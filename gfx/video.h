// The window with its OpenGL context, the 2D projection used for all panel
// drawing, and frame presentation with the frame-rate caption.
#pragma once

#include <SDL.h>

#include <cstdint>

constexpr int WINDOW_WIDTH = 800;
constexpr int WINDOW_HEIGHT = 625;
constexpr int WINDOW_BITS_PER_PIXEL = 16;

extern SDL_Surface* screen_surface;
extern uint32_t video_flags;

// Source of the milliseconds that present_frame reports against (SDL_GetTicks
// by default; tests put their own clock here).
extern Uint32 (*frame_ticks)();

// zem draws with OpenGL through X. With no display named (DISPLAY unset or
// empty, as over ssh), SDL would fall back to a text-mode video driver that
// takes over the terminal before it fails: returns false, and the program
// stops with a line before anything else. Otherwise SDL is kept to its X
// driver (unless the user chose one), so that a display that cannot be reached
// fails at the window's start without touching the terminal either. Call it
// before any other thread starts: it may set SDL_VIDEODRIVER.
bool use_x_display();

// Opens the window, sets up GL, loads "OPENGL.ZPK" and the two fonts from
// "Test.ttf". Returns 1, or 0 after a message on standard error.
int init_video();
// The font file that init_video reads.
constexpr const char* FONT_FILE = "Test.ttf";
// What made the last init_video return 0: the window, or the font, whose
// message names the font file and not the window.
enum class video_failure { none, window, font };
video_failure init_video_failure();
int init_gl_state();
// Viewport and perspective for a window of width x height (a height of 0 counts as 1).
int resize_viewport(int32_t width, int32_t height);
// Pixel projection x0..x1 left to right, y0..y1 top to bottom.
void push_2d_projection(int32_t x0, int32_t y0, int32_t x1, int32_t y1);
void pop_2d_projection();
// Swaps the buffers; every 5 s or more puts the frame rate in the caption.
int present_frame();

// Presenting parts of the picture: where the GL library offers it
// (GLX_MESA_copy_sub_buffer), areas of the back buffer are copied to the
// window and the back buffer keeps what it holds, so a frame in which a few
// lights changed costs those lights and not the whole window.
struct window_area {
  int x, y, width, height;  // window pixels, from the bottom-left corner as GL counts
};
bool can_present_areas();
// Copies the areas to the window; a presented frame like present_frame's.
void present_areas(const window_area* areas, int count);
// A short line that the caption shows before the frame-rate report (the
// tempo, a recording, the session's name); with an empty status the caption
// is the frame-rate report alone. Takes effect at once.
void set_caption_status(const char* status);
[[noreturn]] void quit_program(int32_t code);
void toggle_full_screen();
