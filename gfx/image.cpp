#include "image.h"

#include <SDL_image.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

void swap_red_and_blue(Uint8* row, int width) {
  for (int i = 0; i < width; ++i) std::swap(row[3 * i], row[3 * i + 2]);
}

}  // namespace

SDL_Surface* load_image(const char* path) {
  SDL_Surface* surface = IMG_Load(path);
  if (surface == nullptr) {
    std::fprintf(stderr, "Unable to load %s: %s\n", path, SDL_GetError());
    return nullptr;
  }
  return prepare_image(surface);
}

SDL_Surface* prepare_image(SDL_Surface* surface) {
  const SDL_PixelFormat* format = surface->format;
  if (format->BitsPerPixel != 24 || format->BytesPerPixel != 3) {
    std::fprintf(stderr, "Image is %d bpp and %d Bpp", format->BitsPerPixel, format->BytesPerPixel);
    SDL_FreeSurface(surface);
    return nullptr;
  }
  bool swap;
  if (format->Rshift == 16 && format->Gshift == 8) {
    swap = true;  // blue, green, red in memory
  } else if (format->Bshift == 16 && format->Gshift == 8) {
    swap = false;  // already red, green, blue
  } else {
    std::fprintf(stderr, "Unrecognized image format");
    SDL_FreeSurface(surface);
    return nullptr;
  }
  const int pitch = surface->pitch;
  const int height = surface->h;
  Uint8* spare_row = static_cast<Uint8*>(std::malloc(pitch > 0 ? pitch : 1));
  if (spare_row == nullptr) {
    std::fprintf(stderr, "Out of memory\n");
    SDL_FreeSurface(surface);
    return nullptr;
  }
  if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
  Uint8* pixels = static_cast<Uint8*>(surface->pixels);
  for (int k = 0; k < height / 2; ++k) {
    Uint8* top = pixels + k * pitch;
    Uint8* bottom = pixels + (height - 1 - k) * pitch;
    std::memcpy(spare_row, top, pitch);
    std::memcpy(top, bottom, pitch);
    std::memcpy(bottom, spare_row, pitch);
  }
  if (swap) {
    for (int k = 0; k < height; ++k) swap_red_and_blue(pixels + k * pitch, surface->w);
  }
  if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
  std::free(spare_row);
  return surface;
}
