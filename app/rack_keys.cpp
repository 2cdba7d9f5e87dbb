#include "rack_keys.h"

#include <GL/gl.h>
#include <SDL.h>

#include "font.h"
#include "rack_control.h"
#include "rack_tempo.h"
#include "video.h"
#include "window_status.h"

namespace {
constexpr Uint32 readout_ms = 1500;
constexpr Uint32 status_refresh_ms = 100;

struct rack_status {
  bool shown = false;  // a key was used, or a sync source chosen
  bool readout = false;
  Uint32 readout_until = 0;
  bool frame_wanted = false;  // the read-out comes or goes
  Uint32 refreshed_at = 0;
};
rack_status status;

void show_status() {
  status.shown = true;
  set_status_part(status_part::tempo, rack_tempo_text());
  set_status_part(status_part::sync, sync_source_text());
}

// A key's action, then the caption, and the read-out for a moment in a new
// frame. Without the rack's clock (a window without the program's start-up)
// the keys do nothing.
void run_and_announce(void (*action)()) {
  if (!rack_clock_started()) return;
  action();
  show_status();
  status.readout = true;
  status.readout_until = SDL_GetTicks() + readout_ms;
  status.frame_wanted = true;
}
}  // namespace

void start_rack_control(const program_options& options) {
  start_rack_clock(sync_source_named(options.sync));
  show_rack_clock_settings();
}

void show_rack_clock_settings() {
  const rack_clock& clock = program_rack_clock();
  if (status.shown || clock.sync() != sync_source::internal || clock.bpm() != rack_default_bpm)
    show_status();
}

void tempo_up_key() {
  run_and_announce([] { change_rack_tempo(1.0); });
}
void tempo_down_key() {
  run_and_announce([] { change_rack_tempo(-1.0); });
}
void tempo_up_fine_key() {
  run_and_announce([] { change_rack_tempo(0.1); });
}
void tempo_down_fine_key() {
  run_and_announce([] { change_rack_tempo(-0.1); });
}
void tap_tempo_key() {
  run_and_announce([] { tap_rack_tempo(SDL_GetTicks() / 1000.0); });
}
void start_stop_key() {
  run_and_announce(toggle_rack_running);
}
void sync_source_key() {
  run_and_announce(cycle_sync_source);
}

bool refresh_rack_status() {
  if (!status.shown) return false;
  const Uint32 now = SDL_GetTicks();
  if (now - status.refreshed_at >= status_refresh_ms) {
    status.refreshed_at = now;
    show_status();
  }
  if (status.readout && static_cast<int32_t>(now - status.readout_until) >= 0) {
    status.readout = false;
    status.frame_wanted = true;
  }
  const bool wanted = status.frame_wanted;
  status.frame_wanted = false;
  return wanted;
}

bool rack_readout_shown() {
  return status.readout;
}

void draw_rack_readout() {
  if (!status.readout) return;
  // A dark box in the middle of the window, in the panels' 800 x 625 units.
  constexpr float left = 290, top = 280, right = 510, bottom = 345;
  push_2d_projection(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT);
  glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glColor4ub(0, 0, 0, 210);
  glBegin(GL_QUADS);
  glVertex2f(left, top);
  glVertex2f(right, top);
  glVertex2f(right, bottom);
  glVertex2f(left, bottom);
  glEnd();
  glColor3ub(255, 255, 255);
  print_text(large_font, left + 14, WINDOW_HEIGHT - (top + 28), "%s", rack_tempo_text().c_str());
  print_text(small_font, left + 14, WINDOW_HEIGHT - (top + 52), "%s", sync_source_text().c_str());
  glPopAttrib();
  pop_2d_projection();
}
