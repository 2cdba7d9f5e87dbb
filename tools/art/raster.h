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
struct rgb_colour {
  float r = 0, g = 0, b = 0;
};

rgb_colour operator+(rgb_colour a, rgb_colour b);
rgb_colour operator*(rgb_colour c, float k);
rgb_colour mix(rgb_colour a, rgb_colour b, float t);
rgb_colour grey(float level);

struct vec2 {
  float x = 0, y = 0;
};

vec2 operator+(vec2 a, vec2 b);
vec2 operator-(vec2 a, vec2 b);
vec2 operator*(vec2 v, float k);
float length(vec2 v);
// v turned by degrees, clockwise on screen (y grows downwards).
vec2 rotated(vec2 v, float degrees);

// Row 0 is the top row of the picture.
class rgb_image {
 public:
  rgb_image(int width, int height, rgb_colour fill = {});
  int width() const { return width_; }
  int height() const { return height_; }
  rgb_colour& at(int x, int y) { return pixels_[static_cast<size_t>(y) * width_ + x]; }
  const rgb_colour& at(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }

 private:
  int width_, height_;
  std::vector<rgb_colour> pixels_;
};

// Drawing happens in design units: a picture stored at another size than it
// is shown (a panel background shown at 800 x 125 and stored at 1024 x 128)
// is drawn in on-screen units so that round things come out round.
class design_canvas {
 public:
  explicit design_canvas(rgb_image& image);
  design_canvas(rgb_image& image, float design_width, float design_height);
  rgb_image& image() { return image_; }
  // The anti-aliasing width in design units: one pixel unless widened.
  float pixel() const { return pixel_; }
  // Widens edges to the given number of pixels: pictures that are shrunk
  // by sampling the nearest texel keep smoother outlines.
  void soften_edges(float pixels) { pixel_ = pixels * std::max(scale_x_, scale_y_); }
  // Calls visit(point, colour) for every pixel, with the pixel centre in
  // design units.
  void for_each_pixel(const std::function<void(vec2, rgb_colour&)>& visit);

 private:
  rgb_image& image_;
  float scale_x_, scale_y_, pixel_;
};

// Signed distance to a shape's outline: negative inside, positive outside.
using distance_field = std::function<float(vec2)>;
// The colour of a fill at a point.
using colour_field = std::function<rgb_colour(vec2)>;

distance_field disc(vec2 centre, float radius);
distance_field ring(vec2 centre, float inner_radius, float outer_radius);
distance_field segment(vec2 a, vec2 b, float half_width);
distance_field rounded_rect(vec2 centre, vec2 half_size, float corner_radius);
distance_field polyline(std::vector<vec2> points, float half_width);
distance_field unite(distance_field a, distance_field b);
distance_field subtract(distance_field from, distance_field cut);

// How much of a pixel of the given width a shape covers at this distance.
float coverage(float distance, float pixel);
float smoothstep(float edge0, float edge1, float x);

colour_field solid(rgb_colour c);
colour_field vertical_gradient(float y0, rgb_colour top, float y1, rgb_colour bottom);
colour_field radial_gradient(vec2 centre, float radius, rgb_colour inner, rgb_colour outer);

// Paints the shape over what is there, with anti-aliased edges.
void fill(design_canvas& canvas, const distance_field& shape, const colour_field& paint,
          float opacity = 1);
void fill(design_canvas& canvas, const distance_field& shape, rgb_colour colour, float opacity = 1);
// Adds light around (and inside) a shape, fading over radius design units.
void glow(design_canvas& canvas, const distance_field& shape, rgb_colour colour, float radius,
          float strength);

// Smooth value noise in -1 … 1 with one lattice point per design unit;
// stretch the coordinates for streaks.
float value_noise(float x, float y, uint32_t seed);

}  // namespace zem::art
