// The pictures of the user interface. Widget pictures that are not
// rectangular stand on black and come with a mask: white where the panel
// shows through, black where the widget covers it, grey in a soft shadow
// around it. The toolkit multiplies the screen by the mask and adds the
// picture, so a round knob shows without a box.
#pragma once

#include "raster.h"

namespace zem::art {

enum class waveform { sine, saw, triangle, square };
enum class key_glyph { wave, load, save };

// Slot 0: what a widget with an unknown texture name shows.
void draw_neutral(rgb_image& image);

// A panel background, designed at its on-screen size of 800 x 125.
void draw_background(rgb_image& image, rgb_colour stripe, uint32_t seed);

// Knobs: at angle 0 the pointer points left (9 o'clock), so a knob set to
// -45 degrees points to the usual minimum at half past seven.
void draw_knob(rgb_image& image);
void draw_knob_mask(rgb_image& image);
void draw_slider(rgb_image& image);
void draw_slider_mask(rgb_image& image);
// The slider for 16 x 16 storage, a little smaller within its square.
void draw_small_slider(rgb_image& image);
void draw_small_slider_mask(rgb_image& image);

void draw_led(rgb_image& image, rgb_colour lit, rgb_colour dark, bool on);
void draw_led_mask(rgb_image& image);

void draw_pattern_button(rgb_image& image, bool on);
void draw_pattern_mask(rgb_image& image);

// A small screen showing a waveform; rectangular, drawn without a mask.
void draw_display(rgb_image& image, waveform wave);

void draw_key(rgb_image& image, key_glyph glyph);
void draw_key_mask(rgb_image& image);

}  // namespace zem::art
