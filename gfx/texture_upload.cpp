#include "texture_upload.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "image.h"

void upload_texture(SDL_Surface* surface, uint32_t texture_object) {
  glBindTexture(GL_TEXTURE_2D, texture_object);
  // SDL pads rows to 4 bytes, which matches GL's default unpack alignment.
  gluBuild2DMipmaps(GL_TEXTURE_2D, 3, surface->w, surface->h, GL_RGB, GL_UNSIGNED_BYTE,
                    surface->pixels);
}

bool load_texture_file(const char* path, int32_t texture_object, int32_t* width, int32_t* height) {
  SDL_Surface* surface = load_image(path);
  if (surface == nullptr) return false;
  upload_texture(surface, static_cast<uint32_t>(texture_object));
  *width = surface->w;
  *height = surface->h;
  SDL_FreeSurface(surface);
  return true;
}
