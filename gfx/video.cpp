#include "video.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "font.h"
#include "frame_rate.h"
#include "texture_library.h"
#include "texture_upload.h"

SDL_Surface* screen_surface = nullptr;
uint32_t video_flags = 0;
Uint32 (*frame_ticks)() = SDL_GetTicks;

namespace {

// SDL_OPENGL | SDL_HWSURFACE | SDL_ASYNCBLIT | SDL_RESIZABLE | SDL_HWPALETTE
constexpr uint32_t BASE_VIDEO_FLAGS = 0x20000017;

bool open_window() {
  if (SDL_Init(SDL_INIT_VIDEO) < 0) {
    std::fprintf(stderr, "Video initialization failed: %s\n", SDL_GetError());
    return false;
  }
  const SDL_VideoInfo* info = SDL_GetVideoInfo();
  if (info == nullptr) {
    std::fprintf(stderr, "Video query failed: %s\n", SDL_GetError());
    return false;
  }
  video_flags = BASE_VIDEO_FLAGS;
  if (info->blit_hw) video_flags |= SDL_HWACCEL;
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  screen_surface =
      SDL_SetVideoMode(WINDOW_WIDTH, WINDOW_HEIGHT, WINDOW_BITS_PER_PIXEL, video_flags);
  if (screen_surface == nullptr) {
    std::fprintf(stderr, "Video mode set failed: %s\n", SDL_GetError());
    return false;
  }
  return true;
}

}  // namespace

bool use_x_display() {
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || display[0] == '\0') return false;
  setenv("SDL_VIDEODRIVER", "x11", 0);
  return true;
}

int init_video() {
  if (!open_window()) return 0;
  init_gl_state();
  resize_viewport(WINDOW_WIDTH, WINDOW_HEIGHT);

  std::printf("PIXLO - Loading all textures\n");
  texture_library = new TEXTURE_LIBRARY("OPENGL.ZPK", load_texture_file);

  std::printf("FreeType - Loading all Fonts\n");
  // A font that cannot be built fails start-up like the other video failures.
  try {
    init_font(small_font, "Test.ttf", 6);
    init_font(large_font, "Test.ttf", 12);
  } catch (const std::runtime_error& failure) {
    std::fprintf(stderr, "%s\n", failure.what());
    return 0;
  }
  return 1;
}

int init_gl_state() {
  glShadeModel(GL_SMOOTH);
  glClearColor(0, 0, 0, 0);
  glClearDepth(1.0);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  return 1;
}

int resize_viewport(int32_t width, int32_t height) {
  if (height == 0) height = 1;
  const float aspect = static_cast<float>(width) / static_cast<float>(height);
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(45.0, aspect, 0.1, 100.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  return 1;
}

void push_2d_projection(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(x0, x1, y1, y0, 0, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void pop_2d_projection() {
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
}

int present_frame() {
  SDL_GL_SwapBuffers();
  char caption[NAME_FIELD_SIZE];
  if (count_frame(frame_ticks(), caption)) SDL_WM_SetCaption(caption, nullptr);
  return 1;
}

void quit_program(int32_t code) {
  SDL_Quit();
  std::exit(code);
}

void toggle_full_screen() {
  SDL_WM_ToggleFullScreen(screen_surface);
}
