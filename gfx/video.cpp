#include "video.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <GL/glx.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

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

video_failure last_failure = video_failure::none;

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
  last_failure = video_failure::window;
  if (!open_window()) return 0;
  init_gl_state();
  resize_viewport(WINDOW_WIDTH, WINDOW_HEIGHT);

  std::printf("PIXLO - Loading all textures\n");
  texture_library = new TEXTURE_LIBRARY("OPENGL.ZPK", load_texture_file);

  std::printf("FreeType - Loading all Fonts\n");
  // A font that cannot be built fails start-up like the other video failures,
  // with a line that names the font file.
  try {
    init_font(small_font, FONT_FILE, 6);
    init_font(large_font, FONT_FILE, 12);
  } catch (const std::runtime_error& failure) {
    std::fprintf(stderr, "Font [%s] cannot be used: %s\n", FONT_FILE, failure.what());
    last_failure = video_failure::font;
    return 0;
  }
  last_failure = video_failure::none;
  return 1;
}

video_failure init_video_failure() {
  return last_failure;
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

namespace {
// The parts of the caption: the program's status and the last frame-rate report.
std::string caption_status;
char frame_rate_report[NAME_FIELD_SIZE] = "";

void show_caption() {
  if (caption_status.empty()) {
    SDL_WM_SetCaption(frame_rate_report, nullptr);
    return;
  }
  const std::string caption =
      frame_rate_report[0] == '\0' ? caption_status : caption_status + "  " + frame_rate_report;
  SDL_WM_SetCaption(caption.c_str(), nullptr);
}
}  // namespace

int present_frame() {
  SDL_GL_SwapBuffers();
  if (count_frame(frame_ticks(), frame_rate_report)) show_caption();
  return 1;
}

namespace {
using copy_sub_buffer = void (*)(Display*, GLXDrawable, int, int, int, int);

// GLX_MESA_copy_sub_buffer, when the GL library offers it on this display.
copy_sub_buffer sub_buffer_copier(Display* display) {
  static Display* checked = nullptr;
  static copy_sub_buffer copier = nullptr;
  if (display != checked) {
    checked = display;
    const char* extensions = glXQueryExtensionsString(display, DefaultScreen(display));
    copier = extensions != nullptr && std::strstr(extensions, "GLX_MESA_copy_sub_buffer")
                 ? reinterpret_cast<copy_sub_buffer>(glXGetProcAddressARB(
                       reinterpret_cast<const GLubyte*>("glXCopySubBufferMESA")))
                 : nullptr;
  }
  return copier;
}

}  // namespace

// The window that SDL draws GL in is the drawable of the current context.
bool can_present_areas() {
  Display* display = glXGetCurrentDisplay();
  return display != nullptr && glXGetCurrentDrawable() != 0 &&
         sub_buffer_copier(display) != nullptr;
}

void present_areas(const window_area* areas, int count) {
  Display* display = glXGetCurrentDisplay();
  const copy_sub_buffer copy = display != nullptr ? sub_buffer_copier(display) : nullptr;
  if (copy == nullptr) return;
  for (int i = 0; i < count; ++i)
    copy(display, glXGetCurrentDrawable(), areas[i].x, areas[i].y, areas[i].width, areas[i].height);
  if (count_frame(frame_ticks(), frame_rate_report)) show_caption();
}

void set_caption_status(const char* status) {
  if (caption_status == status) return;
  caption_status = status;
  show_caption();
}

void quit_program(int32_t code) {
  SDL_Quit();
  std::exit(code);
}

void toggle_full_screen() {
  SDL_WM_ToggleFullScreen(screen_surface);
}
