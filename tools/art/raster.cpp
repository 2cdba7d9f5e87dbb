#include "raster.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zem::art {

rgb_colour operator+(rgb_colour a, rgb_colour b) {
  return {a.r + b.r, a.g + b.g, a.b + b.b};
}
rgb_colour operator*(rgb_colour c, float k) {
  return {c.r * k, c.g * k, c.b * k};
}
rgb_colour mix(rgb_colour a, rgb_colour b, float t) {
  return a * (1 - t) + b * t;
}
rgb_colour grey(float level) {
  return {level, level, level};
}

vec2 operator+(vec2 a, vec2 b) {
  return {a.x + b.x, a.y + b.y};
}
vec2 operator-(vec2 a, vec2 b) {
  return {a.x - b.x, a.y - b.y};
}
vec2 operator*(vec2 v, float k) {
  return {v.x * k, v.y * k};
}
float length(vec2 v) {
  return std::hypot(v.x, v.y);
}

vec2 rotated(vec2 v, float degrees) {
  const float a = degrees * std::numbers::pi_v<float> / 180;
  const float c = std::cos(a), s = std::sin(a);
  return {v.x * c - v.y * s, v.x * s + v.y * c};
}

rgb_image::rgb_image(int width, int height, rgb_colour fill)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, fill) {}

design_canvas::design_canvas(rgb_image& image)
    : design_canvas(image, image.width(), image.height()) {}

design_canvas::design_canvas(rgb_image& image, float design_width, float design_height)
    : image_(image),
      scale_x_(design_width / image.width()),
      scale_y_(design_height / image.height()),
      pixel_(std::max(scale_x_, scale_y_)) {}

void design_canvas::for_each_pixel(const std::function<void(vec2, rgb_colour&)>& visit) {
  for (int y = 0; y < image_.height(); ++y) {
    for (int x = 0; x < image_.width(); ++x) {
      visit({(x + 0.5f) * scale_x_, (y + 0.5f) * scale_y_}, image_.at(x, y));
    }
  }
}

distance_field disc(vec2 centre, float radius) {
  return [=](vec2 p) { return length(p - centre) - radius; };
}

distance_field ring(vec2 centre, float inner_radius, float outer_radius) {
  const float middle = (inner_radius + outer_radius) / 2;
  const float half = (outer_radius - inner_radius) / 2;
  return [=](vec2 p) { return std::abs(length(p - centre) - middle) - half; };
}

namespace {

float distance_to_segment(vec2 p, vec2 a, vec2 b) {
  const vec2 ab = b - a, ap = p - a;
  const float span = ab.x * ab.x + ab.y * ab.y;
  const float t = span > 0 ? std::clamp((ap.x * ab.x + ap.y * ab.y) / span, 0.0f, 1.0f) : 0;
  return length(p - (a + ab * t));
}

}  // namespace

distance_field segment(vec2 a, vec2 b, float half_width) {
  return [=](vec2 p) { return distance_to_segment(p, a, b) - half_width; };
}

distance_field rounded_rect(vec2 centre, vec2 half_size, float corner_radius) {
  return [=](vec2 p) {
    const float qx = std::abs(p.x - centre.x) - half_size.x + corner_radius;
    const float qy = std::abs(p.y - centre.y) - half_size.y + corner_radius;
    const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - corner_radius;
  };
}

distance_field polyline(std::vector<vec2> points, float half_width) {
  return [points = std::move(points), half_width](vec2 p) {
    float best = INFINITY;
    for (size_t i = 1; i < points.size(); ++i) {
      best = std::min(best, distance_to_segment(p, points[i - 1], points[i]));
    }
    return best - half_width;
  };
}

distance_field unite(distance_field a, distance_field b) {
  return [=](vec2 p) { return std::min(a(p), b(p)); };
}

distance_field subtract(distance_field from, distance_field cut) {
  return [=](vec2 p) { return std::max(from(p), -cut(p)); };
}

float coverage(float distance, float pixel) {
  return std::clamp(0.5f - distance / pixel, 0.0f, 1.0f);
}

float smoothstep(float edge0, float edge1, float x) {
  const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
  return t * t * (3 - 2 * t);
}

colour_field solid(rgb_colour c) {
  return [=](vec2) { return c; };
}

colour_field vertical_gradient(float y0, rgb_colour top, float y1, rgb_colour bottom) {
  return [=](vec2 p) { return mix(top, bottom, std::clamp((p.y - y0) / (y1 - y0), 0.0f, 1.0f)); };
}

colour_field radial_gradient(vec2 centre, float radius, rgb_colour inner, rgb_colour outer) {
  return [=](vec2 p) {
    return mix(inner, outer, std::clamp(length(p - centre) / radius, 0.0f, 1.0f));
  };
}

void fill(design_canvas& canvas, const distance_field& shape, const colour_field& paint,
          float opacity) {
  const float pixel = canvas.pixel();
  canvas.for_each_pixel([&](vec2 p, rgb_colour& c) {
    const float cover = coverage(shape(p), pixel) * opacity;
    if (cover > 0) c = mix(c, paint(p), cover);
  });
}

void fill(design_canvas& canvas, const distance_field& shape, rgb_colour colour, float opacity) {
  fill(canvas, shape, solid(colour), opacity);
}

void glow(design_canvas& canvas, const distance_field& shape, rgb_colour colour, float radius,
          float strength) {
  canvas.for_each_pixel([&](vec2 p, rgb_colour& c) {
    const float d = std::max(shape(p), 0.0f);
    const float fade = 1 - smoothstep(0, radius, d);
    c = c + colour * (strength * fade * fade);
  });
}

namespace {

float lattice(int x, int y, uint32_t seed) {
  uint32_t h = seed * 0x9E3779B1u ^ static_cast<uint32_t>(x) * 0x85EBCA77u ^
               static_cast<uint32_t>(y) * 0xC2B2AE3Du;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  h *= 0x297A2D39u;
  h ^= h >> 15;
  return static_cast<float>(h & 0xFFFFFF) / 0x7FFFFF - 1;
}

}  // namespace

float value_noise(float x, float y, uint32_t seed) {
  const float fx = std::floor(x), fy = std::floor(y);
  const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
  const float tx = smoothstep(0, 1, x - fx), ty = smoothstep(0, 1, y - fy);
  const float top = lattice(ix, iy, seed) * (1 - tx) + lattice(ix + 1, iy, seed) * tx;
  const float bottom = lattice(ix, iy + 1, seed) * (1 - tx) + lattice(ix + 1, iy + 1, seed) * tx;
  return top * (1 - ty) + bottom * ty;
}

}  // namespace zem::art
