// The generated images decoded by SDL_image as the texture loader does: it
// accepts 24-bit surfaces in blue-green-red or red-green-blue byte order only.
#include <SDL_image.h>
#include <gtest/gtest.h>

#include "../art_files.h"
#include "bmp.h"
#include "catalogue.h"

using namespace art_test;
using zem::art::catalogue;
using zem::art::TextureArt;

TEST(ArtDecode, EveryImageLoadsAsTheLoaderWantsIt) {
  for (const TextureArt& art : catalogue()) {
    SCOPED_TRACE(art.name);
    SDL_Surface* surface = IMG_Load(runtime_path(zem::art::image_path(art)).c_str());
    ASSERT_NE(surface, nullptr) << IMG_GetError();
    const SDL_PixelFormat* f = surface->format;
    EXPECT_EQ(f->BitsPerPixel, 24);
    EXPECT_EQ(f->BytesPerPixel, 3);
    EXPECT_TRUE((f->Rshift == 16 && f->Gshift == 8) || (f->Bshift == 16 && f->Gshift == 8));
    EXPECT_EQ(surface->w, art.width);
    EXPECT_EQ(surface->h, art.height);
    // Every decoded pixel is the colour drawn there: rows not mirrored,
    // channels not exchanged.
    zem::art::Image drawn(art.width, art.height);
    art.draw(drawn);
    int wrong = 0;
    SDL_LockSurface(surface);
    for (int y = 0; y < surface->h; ++y) {
      const Uint8* row = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch;
      for (int x = 0; x < surface->w; ++x) {
        const Uint32 v = row[3 * x] | row[3 * x + 1] << 8 | row[3 * x + 2] << 16;
        const zem::art::Colour& c = drawn.at(x, y);
        wrong += ((v & f->Rmask) >> f->Rshift) != zem::art::to_byte(c.r) ||
                 ((v & f->Gmask) >> f->Gshift) != zem::art::to_byte(c.g) ||
                 ((v & f->Bmask) >> f->Bshift) != zem::art::to_byte(c.b);
      }
    }
    SDL_UnlockSurface(surface);
    EXPECT_EQ(wrong, 0);
    SDL_FreeSurface(surface);
  }
}
