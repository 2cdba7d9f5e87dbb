#include "font.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <vector>

#include FT_BITMAP_H
#include FT_GLYPH_H

#include "next_power_of_two.h"
#include "video.h"

FONT small_font;
FONT large_font;

namespace {

// Grey glyph bitmap (one byte per pixel, levels 0 to num_grays - 1) as
// luminance-alpha texels of 0 to 255, zero-padded to W x H.
std::vector<GLubyte> glyph_texels(const FT_Bitmap& bitmap, uint32_t W, uint32_t H) {
  const unsigned top_level = bitmap.num_grays > 1 ? bitmap.num_grays - 1u : 255u;
  std::vector<GLubyte> texels(2 * W * H, 0);
  for (uint32_t j = 0; j < bitmap.rows; ++j) {
    for (uint32_t i = 0; i < bitmap.width; ++i) {
      const unsigned level = bitmap.buffer[i + static_cast<long>(bitmap.pitch) * j];
      const GLubyte grey = static_cast<GLubyte>(std::min(level, top_level) * 255u / top_level);
      texels[2 * (i + j * W)] = grey;
      texels[2 * (i + j * W) + 1] = grey;
    }
  }
  return texels;
}

// The rendered glyph with one grey byte per pixel. Outline glyphs arrive that
// way; bitmap strikes (bitmap fonts, or small sizes of some TrueType fonts)
// keep their own 1, 2 or 4 bits per pixel or colour, and are converted.
class grey_glyph {
 public:
  grey_glyph(FT_Library library, const FT_Bitmap& bitmap) : library_(library), source_(&bitmap) {
    FT_Bitmap_Init(&converted_);
    if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) return;
    if (FT_Bitmap_Convert(library, &bitmap, &converted_, 1)) {
      FT_Bitmap_Done(library_, &converted_);
      throw std::runtime_error("FT_Bitmap_Convert failed");
    }
    source_ = &converted_;
  }
  ~grey_glyph() { FT_Bitmap_Done(library_, &converted_); }
  grey_glyph(const grey_glyph&) = delete;
  grey_glyph& operator=(const grey_glyph&) = delete;
  const FT_Bitmap& bitmap() const { return *source_; }

 private:
  FT_Library library_;
  const FT_Bitmap* source_;
  FT_Bitmap converted_;
};

// Owns an FT_Glyph until the end of the scope.
struct glyph_holder {
  ~glyph_holder() { FT_Done_Glyph(glyph); }
  FT_Glyph glyph = nullptr;
};

void upload_glyph(GLuint texture, uint32_t W, uint32_t H, const std::vector<GLubyte>& texels) {
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  // Rows of a one-texel-wide glyph are 2 bytes long: without this GL would read
  // them with a 4-byte stride, past the end of the buffer.
  glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, W, H, 0, GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE,
               texels.data());
  glPopClientAttrib();
}

}  // namespace

void make_glyph_list(FT_Face face, unsigned char c, const FONT& font) {
  if (FT_Load_Glyph(face, FT_Get_Char_Index(face, c), FT_LOAD_DEFAULT)) {
    throw std::runtime_error("FT_Load_Glyph failed");
  }
  glyph_holder held;
  if (FT_Get_Glyph(face->glyph, &held.glyph)) throw std::runtime_error("FT_Get_Glyph failed");
  // On failure the glyph is still an outline, which must not be read as a bitmap.
  if (FT_Glyph_To_Bitmap(&held.glyph, FT_RENDER_MODE_NORMAL, nullptr, 1)) {
    throw std::runtime_error("FT_Glyph_To_Bitmap failed");
  }
  const FT_BitmapGlyph bitmap_glyph = reinterpret_cast<FT_BitmapGlyph>(held.glyph);
  const grey_glyph grey(face->glyph->library, bitmap_glyph->bitmap);
  const FT_Bitmap& bitmap = grey.bitmap();

  const uint32_t W = next_power_of_two(bitmap.width);
  const uint32_t H = next_power_of_two(bitmap.rows);
  upload_glyph(font.glyph_textures[c], W, H, glyph_texels(bitmap, W, H));

  // The quad sits on the baseline, y up, with the glyph's top row at its top.
  const float width = static_cast<float>(bitmap.width);
  const float rows = static_cast<float>(bitmap.rows);
  const float s = width / static_cast<float>(W);
  const float t = rows / static_cast<float>(H);
  glNewList(font.list_base + c, GL_COMPILE);
  glBindTexture(GL_TEXTURE_2D, font.glyph_textures[c]);
  glPushMatrix();
  glTranslatef(static_cast<float>(bitmap_glyph->left), 0, 0);
  glTranslatef(0, static_cast<float>(bitmap_glyph->top) - rows, 0);
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0);
  glVertex2f(0, rows);
  glTexCoord2f(0, t);
  glVertex2f(0, 0);
  glTexCoord2f(s, t);
  glVertex2f(width, 0);
  glTexCoord2f(s, 0);
  glVertex2f(width, rows);
  glEnd();
  glPopMatrix();
  glTranslatef(static_cast<float>(face->glyph->advance.x >> 6), 0, 0);
  glEndList();
}

void init_font(FONT& font, const char* file_name, unsigned int h) {
  font.glyph_textures = new uint32_t[FONT_GLYPHS];
  font.font_height = static_cast<float>(h);

  FT_Library library;
  if (FT_Init_FreeType(&library)) throw std::runtime_error("FT_Init_FreeType failed");
  FT_Face face;
  if (FT_New_Face(library, file_name, 0, &face)) {
    FT_Done_FreeType(library);
    throw std::runtime_error(
        "FT_New_Face failed (there is probably a problem with your font file)");
  }
  FT_Set_Char_Size(face, h * 64, h * 64, 96, 96);

  font.list_base = glGenLists(FONT_GLYPHS);
  glGenTextures(FONT_GLYPHS, font.glyph_textures);
  try {
    for (int c = 0; c < FONT_GLYPHS; ++c)
      make_glyph_list(face, static_cast<unsigned char>(c), font);
  } catch (...) {
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    throw;
  }
  FT_Done_Face(face);
  FT_Done_FreeType(library);
}

// The 800 x 625 picture from its bottom-left corner, stretched over the
// window as the panels' projection is: after a resize or a switch to full
// screen, text stays with the widgets it belongs to. At 800 x 625 a unit is
// a window pixel.
void push_screen_projection() {
  glPushAttrib(GL_TRANSFORM_BIT);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  gluOrtho2D(0, WINDOW_WIDTH, 0, WINDOW_HEIGHT);
  glPopAttrib();
}

void pop_screen_projection() {
  glPushAttrib(GL_TRANSFORM_BIT);
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glPopAttrib();
}

namespace {

// Draws one line's bytes; codes above 127 have no glyph in this font (their
// list numbers would belong to other lists) and are left out.
void call_glyph_lists(const char* line, std::size_t length) {
  unsigned char codes[256];
  std::size_t n = 0;
  for (std::size_t i = 0; i < length && n < sizeof codes; ++i) {
    const unsigned char code = static_cast<unsigned char>(line[i]);
    if (code < FONT_GLYPHS) codes[n++] = code;
  }
  glCallLists(static_cast<GLsizei>(n), GL_UNSIGNED_BYTE, codes);
}

}  // namespace

void print_text(FONT font, float x, float y, const char* format, ...) {
  push_screen_projection();
  const float line_spacing = static_cast<float>(font.font_height / 0.63);

  char text[256] = "";
  if (format != nullptr) {
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
  }

  glPushAttrib(GL_LIST_BIT | GL_CURRENT_BIT | GL_ENABLE_BIT | GL_TRANSFORM_BIT);
  glMatrixMode(GL_MODELVIEW);
  glDisable(GL_LIGHTING);
  glEnable(GL_TEXTURE_2D);
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glListBase(font.list_base);
  GLfloat modelview[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, modelview);

  const char* line = text;
  for (int i = 0;; ++i) {
    const char* end = std::strchr(line, '\n');
    const std::size_t length = end ? static_cast<std::size_t>(end - line) : std::strlen(line);
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(x, y - line_spacing * static_cast<float>(i), 0);
    glMultMatrixf(modelview);
    call_glyph_lists(line, length);
    glPopMatrix();
    if (end == nullptr) break;
    line = end + 1;
  }

  glPopAttrib();
  pop_screen_projection();
}
