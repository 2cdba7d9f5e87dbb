// Drawing primitives for the interface artwork: an RGB image, a canvas that
// maps design units onto its pixels, anti-aliased shapes given as signed
// distance functions, gradients, glows and value noise.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

namespace zem::art {

// Display values from 0 (black) to 1 (full intensity).
struct Colour {
  float r = 0, g = 0, b = 0;
};

Colour operator+(Colour a, Colour b);
Colour operator*(Colour c, float k);
Colour mix(Colour a, Colour b, float t);
Colour grey(float level);

struct Vec {
  float x = 0, y = 0;
};

Vec operator+(Vec a, Vec b);
Vec operator-(Vec a, Vec b);
Vec operator*(Vec v, float k);
float length(Vec v);
// v turned by degrees, clockwise on screen (y grows downwards).
Vec rotated(Vec v, float degrees);

// Row 0 is the top row of the picture.
class Image {
 public:
  Image(int width, int height, Colour fill = {});
  int width() const { return width_; }
  int height() const { return height_; }
  Colour& at(int x, int y) { return pixels_[static_cast<size_t>(y) * width_ + x]; }
  const Colour& at(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }

 private:
  int width_, height_;
  std::vector<Colour> pixels_;
};

// Drawing happens in design units: a picture stored at another size than it
// is shown (a panel background shown at 800 x 125 and stored at 1024 x 128)
// is drawn in on-screen units so that round things come out round.
class Canvas {
 public:
  explicit Canvas(Image& image);
  Canvas(Image& image, float design_width, float design_height);
  Image& image() { return image_; }
  // The anti-aliasing width in design units: one pixel unless widened.
  float pixel() const { return pixel_; }
  // Widens edges to the given number of pixels: pictures that are shrunk
  // by sampling the nearest texel keep smoother outlines.
  void soften_edges(float pixels) { pixel_ = pixels * std::max(scale_x_, scale_y_); }
  // Calls visit(point, colour) for every pixel, with the pixel centre in
  // design units.
  void for_each_pixel(const std::function<void(Vec, Colour&)>& visit);

 private:
  Image& image_;
  float scale_x_, scale_y_, pixel_;
};

// Signed distance to a shape's outline: negative inside, positive outside.
using Shape = std::function<float(Vec)>;
// The colour of a fill at a point.
using Paint = std::function<Colour(Vec)>;

Shape disc(Vec centre, float radius);
Shape ring(Vec centre, float inner_radius, float outer_radius);
Shape segment(Vec a, Vec b, float half_width);
Shape rounded_rect(Vec centre, Vec half_size, float corner_radius);
Shape polyline(std::vector<Vec> points, float half_width);
Shape unite(Shape a, Shape b);
Shape subtract(Shape from, Shape cut);

// How much of a pixel of the given width a shape covers at this distance.
float coverage(float distance, float pixel);
float smoothstep(float edge0, float edge1, float x);

Paint solid(Colour c);
Paint vertical_gradient(float y0, Colour top, float y1, Colour bottom);
Paint radial_gradient(Vec centre, float radius, Colour inner, Colour outer);

// Paints the shape over what is there, with anti-aliased edges.
void fill(Canvas& canvas, const Shape& shape, const Paint& paint, float opacity = 1);
void fill(Canvas& canvas, const Shape& shape, Colour colour, float opacity = 1);
// Adds light around (and inside) a shape, fading over radius design units.
void glow(Canvas& canvas, const Shape& shape, Colour colour, float radius, float strength);

// Smooth value noise in -1 … 1 with one lattice point per design unit;
// stretch the coordinates for streaks.
float value_noise(float x, float y, uint32_t seed);

}  // namespace zem::art
