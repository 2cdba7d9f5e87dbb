// The pictures of the user interface. Widget pictures that are not
// rectangular stand on black and come with a mask: white where the panel
// shows through, black where the widget covers it, grey in a soft shadow
// around it. The toolkit multiplies the screen by the mask and adds the
// picture, so a round knob shows without a box.
#pragma once

#include "raster.h"

namespace zem::art {

enum class Waveform { sine, saw, triangle, square };
enum class KeyGlyph { wave, load, save };

// Slot 0: what a widget with an unknown texture name shows.
void draw_neutral(Image& image);

// A panel background, designed at its on-screen size of 800 x 125.
void draw_background(Image& image, Colour stripe, uint32_t seed);

// Knobs: at angle 0 the pointer points left (9 o'clock), so a knob set to
// -45 degrees points to the usual minimum at half past seven.
void draw_knob(Image& image);
void draw_knob_mask(Image& image);
void draw_slider(Image& image);
void draw_slider_mask(Image& image);
// The slider for 16 x 16 storage, a little smaller within its square.
void draw_small_slider(Image& image);
void draw_small_slider_mask(Image& image);

void draw_led(Image& image, Colour lit, Colour dark, bool on);
void draw_led_mask(Image& image);

void draw_pattern_button(Image& image, bool on);
void draw_pattern_mask(Image& image);

// A small screen showing a waveform; rectangular, drawn without a mask.
void draw_display(Image& image, Waveform wave);

void draw_key(Image& image, KeyGlyph glyph);
void draw_key_mask(Image& image);

}  // namespace zem::art
