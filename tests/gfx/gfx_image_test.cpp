// Preparing images for texturing: bottom row first, red-green-blue bytes, and
// the refusals of what the textures cannot take.
#include <gtest/gtest.h>

#include <string>

#include "gfx_test_files.h"
#include "image.h"
#include "temp_folder.h"

namespace {

using gfx_test::rgb;

// Pixel (column, row) of a 3 x 3 picture: red = 10 x row + column, green =
// 100 + that, blue = 200 + row.
rgb numbered(int column, int row) {
  const Uint8 base = static_cast<Uint8>(10 * row + column);
  return {base, static_cast<Uint8>(100 + base), static_cast<Uint8>(200 + row)};
}

void expect_pixel(const SDL_Surface* surface, int column, int row_in_memory, rgb expected) {
  const Uint8* p =
      static_cast<const Uint8*>(surface->pixels) + row_in_memory * surface->pitch + 3 * column;
  EXPECT_EQ(p[0], expected.r) << "column " << column << " row " << row_in_memory;
  EXPECT_EQ(p[1], expected.g) << "column " << column << " row " << row_in_memory;
  EXPECT_EQ(p[2], expected.b) << "column " << column << " row " << row_in_memory;
}

TEST(ImageTest, BgrImageComesOutUpsideDownInRgbOrder) {
  zem_test::temp_folder folder;
  const std::string path = folder.file("three.bmp");
  gfx_test::write_bmp24(path, 3, 3, numbered);
  SDL_Surface* surface = load_image(path.c_str());
  ASSERT_NE(surface, nullptr);
  ASSERT_EQ(surface->w, 3);
  ASSERT_EQ(surface->pitch, 12);  // 9 bytes padded to 12
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) {
      expect_pixel(surface, column, 2 - row, numbered(column, row));
    }
  }
  SDL_FreeSurface(surface);
}

TEST(ImageTest, RgbSurfaceIsFlippedWithoutSwapping) {
  // Red in the low byte, blue shifted by 16: the layout of a decoded PNG.
  SDL_Surface* surface =
      SDL_CreateRGBSurface(SDL_SWSURFACE, 2, 4, 24, 0x0000ff, 0x00ff00, 0xff0000, 0);
  ASSERT_NE(surface, nullptr);
  for (int row = 0; row < 4; ++row) {
    Uint8* p = static_cast<Uint8*>(surface->pixels) + row * surface->pitch;
    for (int i = 0; i < 6; ++i) p[i] = static_cast<Uint8>(row * 16 + i);
  }
  ASSERT_EQ(prepare_image(surface), surface);
  for (int row = 0; row < 4; ++row) {
    const Uint8* p = static_cast<const Uint8*>(surface->pixels) + (3 - row) * surface->pitch;
    for (int i = 0; i < 6; ++i) EXPECT_EQ(p[i], row * 16 + i);
  }
  SDL_FreeSurface(surface);
}

TEST(ImageTest, ThirtyTwoBitImageIsRefused) {
  zem_test::temp_folder folder;
  const std::string path = folder.file("alpha.bmp");
  gfx_test::write_bmp32(path, 4, 4);
  testing::internal::CaptureStderr();
  EXPECT_EQ(load_image(path.c_str()), nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Image is 32 bpp and 4 Bpp");
}

TEST(ImageTest, UnknownByteOrderIsRefused) {
  SDL_Surface* surface =
      SDL_CreateRGBSurface(SDL_SWSURFACE, 2, 2, 24, 0x00ff00, 0x0000ff, 0xff0000, 0);
  ASSERT_NE(surface, nullptr);
  testing::internal::CaptureStderr();
  EXPECT_EQ(prepare_image(surface), nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Unrecognized image format");
}

TEST(ImageTest, UnreadableFileIsRefused) {
  zem_test::temp_folder folder;
  const std::string path = folder.file("junk.bmp");
  gfx_test::write_text(path, "BM not really an image");
  testing::internal::CaptureStderr();
  EXPECT_EQ(load_image(path.c_str()), nullptr);
  EXPECT_EQ(load_image(folder.file("absent.png").c_str()), nullptr);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("Unable to load " + path + ": "), std::string::npos);
  EXPECT_NE(err.find("Unable to load " + folder.file("absent.png") + ": "), std::string::npos);
}

}  // namespace
