// Text drawn from a TrueType font: every character code 0-127 becomes one
// texture and one display list that draws it and advances the pen.
#pragma once

#include <ft2build.h>

#include <cstdint>
#include FT_FREETYPE_H

class FONT {
 public:
  float font_height = 0;
  uint32_t* glyph_textures = nullptr;  // 128 GL texture names, owned
  uint32_t list_base = 0;              // display list of code c is list_base + c
};

constexpr int FONT_GLYPHS = 128;

// Builds the font from a TrueType file at h points (96 dpi). Throws
// std::runtime_error with FreeType's failure on any error.
void init_font(FONT& font, const char* file_name, unsigned int h);
// Makes the texture and display list of character code c.
void make_glyph_list(FT_Face face, unsigned char c, const FONT& font);

// Prints printf-style text with the first line's baseline starting at (x, y),
// in units of the 800 x 625 picture from its bottom-left corner (window
// pixels until the window is resized); '\n' starts a new line lower down. The
// text takes the current colour. At most 255 characters are drawn.
void print_text(FONT font, float x, float y, const char* format, ...)
    __attribute__((format(printf, 4, 5)));

// The projection of that picture (origin bottom-left), pushed and popped.
void push_screen_projection();
void pop_screen_projection();

// "Test.ttf" at heights 6 and 12, built by init_video.
extern FONT small_font;
extern FONT large_font;
