// The generated index and images read by the toolkit's own texture library
// and image loader, without a window.
#include <gtest/gtest.h>

#include <filesystem>

#include "../art_files.h"
#include "bmp.h"
#include "catalogue.h"
#include "image.h"
#include "texture_library.h"

using zem::art::catalogue;
using zem::art::texture_art;

namespace {

bool load_without_gl(const char* path, int32_t, int32_t* width, int32_t* height) {
  SDL_Surface* surface = load_image(path);
  if (surface == nullptr) return false;
  *width = surface->w;
  *height = surface->h;
  SDL_FreeSurface(surface);
  return true;
}

// The program reads everything relative to its working directory.
class ArtLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::current_path(ZEM_RUNTIME_DIR); }
  void TearDown() override { std::filesystem::current_path(here_); }
  const std::filesystem::path here_ = std::filesystem::current_path();
};

}  // namespace

TEST_F(ArtLibraryTest, LibraryRegistersEveryTextureInOrder) {
  TEXTURE_LIBRARY library("OPENGL.ZPK", load_without_gl);
  ASSERT_EQ(library.count, static_cast<int32_t>(catalogue().size()));
  for (size_t i = 0; i < catalogue().size(); ++i) {
    const texture_art& art = catalogue()[i];
    EXPECT_STREQ(library.names[i], art.name.c_str());
    EXPECT_EQ(library.find_texture(art.name.c_str()), static_cast<int32_t>(i));
    EXPECT_EQ(library.widths[i], art.width);
    EXPECT_EQ(library.heights[i], art.height);
    // Every mask named in the catalogue resolves to a real slot, not to 0
    // (which would mean "no mask").
    if (!art.mask.empty()) {
      EXPECT_GT(library.find_texture(art.mask.c_str()), 0) << art.name;
    }
  }
}

// load_image hands OpenGL the rows bottom first in red, green, blue order:
// each must be exactly the colour the generator drew there.
TEST_F(ArtLibraryTest, LoadedPixelsAreThePicturesUpsideDownInRgb) {
  for (const texture_art& art : catalogue()) {
    SCOPED_TRACE(art.name);
    SDL_Surface* surface = load_image(zem::art::image_path(art).c_str());
    ASSERT_NE(surface, nullptr);
    zem::art::rgb_image drawn(art.width, art.height);
    art.draw(drawn);
    int wrong = 0;
    for (int row = 0; row < surface->h; ++row) {
      const Uint8* p = static_cast<const Uint8*>(surface->pixels) + row * surface->pitch;
      for (int x = 0; x < surface->w; ++x, p += 3) {
        const zem::art::rgb_colour& c = drawn.at(x, art.height - 1 - row);
        wrong += p[0] != zem::art::to_byte(c.r) || p[1] != zem::art::to_byte(c.g) ||
                 p[2] != zem::art::to_byte(c.b);
      }
    }
    EXPECT_EQ(wrong, 0);
    SDL_FreeSurface(surface);
  }
}
