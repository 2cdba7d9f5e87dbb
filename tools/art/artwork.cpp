#include "artwork.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace zem::art {

namespace {

constexpr rgb_colour WHITE{1, 1, 1};
constexpr rgb_colour BLACK{0, 0, 0};
constexpr rgb_colour POINTER_ORANGE{1.0f, 0.55f, 0.12f};
constexpr rgb_colour TRACE_GREEN{0.55f, 1.0f, 0.62f};

// Edge width, in pixels, of widgets drawn over the panel through a mask.
constexpr float WIDGET_EDGE = 1.25f;

// A canvas for a masked widget's picture.
design_canvas widget_canvas(rgb_image& image, float design_width, float design_height) {
  design_canvas canvas(image, design_width, design_height);
  canvas.soften_edges(WIDGET_EDGE);
  return canvas;
}

// Every masked widget: the mask is 1 - coverage of the widget's outline,
// darkened in a ring of soft shadow around it, and white at the picture's
// border so that no box edge shows. Knobs get no shadow ring: turned, they
// are point-sampled, and a thin ring would come out dotted.
void draw_mask(rgb_image& image, float design_width, float design_height,
               const distance_field& outline, float shadow_radius, float shadow_depth) {
  design_canvas canvas = widget_canvas(image, design_width, design_height);
  const float pixel = canvas.pixel();
  canvas.for_each_pixel([&](vec2 p, rgb_colour& c) {
    const float d = outline(p);
    const float shade = shadow_depth * (1 - smoothstep(0, shadow_radius, std::max(d, 0.0f)));
    c = grey((1 - coverage(d, pixel)) * (1 - shade));
  });
}

// Knob and slider pictures are designed on a 64 x 64 square.
constexpr float KNOB_DESIGN = 64;
constexpr vec2 KNOB_CENTRE{32, 32};
constexpr float KNOB_RADIUS = 28;
constexpr float SLIDER_RADIUS = 27;
// Stored at 16 x 16, a design unit is a quarter pixel and the softened edge
// reaches five units out: the small slider stays that far inside its square.
constexpr float SMALL_SLIDER_RADIUS = 25;

// LEDs on a 32 x 32 square.
constexpr float LED_DESIGN = 32;
constexpr vec2 LED_CENTRE{16, 16};
constexpr float LED_RADIUS = 12;
constexpr float LENS_RADIUS = 9.2f;

// Pattern buttons on 64 x 32, keys on 64 x 64.
constexpr vec2 PATTERN_CENTRE{32, 16};
constexpr vec2 PATTERN_HALF{28, 12};
constexpr float PATTERN_CORNER = 5;
constexpr vec2 KEY_CENTRE{32, 32};
constexpr vec2 KEY_HALF{26, 26};
constexpr float KEY_CORNER = 7;

distance_field knob_outline() {
  return disc(KNOB_CENTRE, KNOB_RADIUS);
}
distance_field slider_outline(float radius) {
  return disc(KNOB_CENTRE, radius);
}
distance_field led_outline() {
  return disc(LED_CENTRE, LED_RADIUS);
}
distance_field pattern_outline() {
  return rounded_rect(PATTERN_CENTRE, PATTERN_HALF, PATTERN_CORNER);
}
distance_field key_outline() {
  return rounded_rect(KEY_CENTRE, KEY_HALF, KEY_CORNER);
}

// A line from the centre towards 9 o'clock, between two radii.
distance_field pointer(float from, float to, float half_width) {
  return segment(KNOB_CENTRE + vec2{-from, 0}, KNOB_CENTRE + vec2{-to, 0}, half_width);
}

// Brushed metal: long horizontal streaks over a top-to-bottom gradient.
colour_field brushed_metal(float top, float bottom, float height, uint32_t seed) {
  return [=](vec2 p) {
    const float streak = 0.035f * value_noise(p.x / 45, p.y * 1.3f, seed) +
                         0.015f * value_noise(p.x / 4, p.y * 1.3f, seed + 1);
    const float level = top + (bottom - top) * (p.y / height);
    return grey(level * (1 + streak));
  };
}

void draw_screw(design_canvas& canvas, vec2 centre) {
  fill(canvas, disc(centre, 5.6f), grey(0.06f), 0.6f);
  fill(canvas, disc(centre, 4.5f),
       radial_gradient(centre + vec2{-1.5f, -1.5f}, 6.5f, grey(0.78f), grey(0.32f)));
  const vec2 slot = rotated({3.6f, 0}, 35);
  fill(canvas, segment(centre - slot, centre + slot, 0.75f), grey(0.12f));
}

std::vector<vec2> wave_points(waveform wave, float x0, float x1, float mid, float amplitude,
                              int periods) {
  std::vector<vec2> points;
  const float period = (x1 - x0) / periods;
  auto at = [&](float x, float f) { points.push_back({x, mid - amplitude * f}); };
  for (int k = 0; k < periods; ++k) {
    const float start = x0 + k * period;
    switch (wave) {
      case waveform::sine:
        for (int i = (k == 0 ? 0 : 1); i <= 48; ++i) {
          const float t = i / 48.0f;
          at(start + t * period, std::sin(2 * std::numbers::pi_v<float> * t));
        }
        break;
      case waveform::saw:
        at(start, -1);
        at(start + period, 1);
        at(start + period, -1);
        break;
      case waveform::triangle:
        at(start, -1);
        at(start + period / 2, 1);
        at(start + period, -1);
        break;
      case waveform::square:
        at(start, 1);
        at(start + period / 2, 1);
        at(start + period / 2, -1);
        at(start + period, -1);
        at(start + period, 1);
        break;
    }
  }
  if (wave == waveform::saw || wave == waveform::square) points.pop_back();
  return points;
}

}  // namespace

void draw_neutral(rgb_image& image) {
  design_canvas canvas(image, 32, 32);
  fill(canvas, rounded_rect({16, 16}, {16, 16}, 0), grey(0.38f));
  fill(canvas, rounded_rect({16, 16}, {14.5f, 14.5f}, 0),
       vertical_gradient(1.5f, grey(0.31f), 30.5f, grey(0.25f)));
}

void draw_background(rgb_image& image, rgb_colour stripe, uint32_t seed) {
  constexpr float W = 800, H = 125;
  design_canvas canvas(image, W, H);
  fill(canvas, rounded_rect({W / 2, H / 2}, {W, H}, 0), brushed_metal(0.27f, 0.16f, H, seed));
  // Bevelled edges, so that stacked panels read as separate plates.
  fill(canvas, rounded_rect({W / 2, 0.75f}, {W, 0.75f}, 0), grey(0.46f), 0.8f);
  fill(canvas, rounded_rect({W / 2, H - 0.75f}, {W, 0.75f}, 0), grey(0.04f), 0.9f);
  // The colour stripe of the instrument kind, with a shadow line under it.
  fill(canvas, rounded_rect({W / 2, 5.5f}, {W, 2.5f}, 0),
       vertical_gradient(3, mix(stripe, WHITE, 0.25f), 8, stripe * 0.8f));
  fill(canvas, rounded_rect({W / 2, 8.5f}, {W, 0.6f}, 0), grey(0.05f), 0.6f);
  // The badge at the left edge, in the stripe's colour.
  fill(canvas, rounded_rect({27, 66}, {6.2f, 49.2f}, 3.6f), grey(0.05f), 0.7f);
  fill(canvas, rounded_rect({27, 66}, {5, 48}, 3),
       vertical_gradient(18, stripe, 114, stripe * 0.55f));
  // Two recesses along the bottom, a light lip below each and a darker
  // floor: the step row on the left, the pattern buttons on the right.
  for (const auto& [centre, half] :
       {std::pair{vec2{321, 94}, vec2{277, 29}}, std::pair{vec2{693, 94}, vec2{89, 29}}}) {
    fill(canvas, rounded_rect(centre + vec2{0, 1}, half, 4), grey(0.36f), 0.5f);
    fill(canvas, rounded_rect(centre, half, 4), grey(0.05f), 0.5f);
  }
  for (vec2 screw : {vec2{12, 20}, vec2{12, 110}, vec2{791, 20}, vec2{791, 110}})
    draw_screw(canvas, screw);
}

void draw_knob(rgb_image& image) {
  design_canvas canvas = widget_canvas(image, KNOB_DESIGN, KNOB_DESIGN);
  // Every shade is symmetric about the centre because the picture turns
  // with the knob's value; no fine detail, which would sparkle when shrunk.
  // An aluminium skirt, brightest just outside the cap, darker at the rim.
  fill(canvas, knob_outline(), [](vec2 p) {
    return grey(0.62f - 0.32f * smoothstep(22, KNOB_RADIUS, length(p - KNOB_CENTRE)));
  });
  // The cap: dark and softly domed, set off from the skirt by a groove.
  fill(canvas, ring(KNOB_CENTRE, 21.2f, 22.6f), grey(0.06f), 0.9f);
  fill(canvas, disc(KNOB_CENTRE, 21.4f),
       radial_gradient(KNOB_CENTRE, 21.4f, grey(0.30f), grey(0.15f)));
  fill(canvas, ring(KNOB_CENTRE, 19.6f, 20.8f), grey(0.40f), 0.45f);
  // The pointer: a white line in a dark groove, out across the skirt.
  fill(canvas, pointer(5, KNOB_RADIUS - 0.5f, 3), grey(0.04f));
  fill(canvas, pointer(6, KNOB_RADIUS - 1.5f, 1.8f), grey(0.97f));
}

void draw_knob_mask(rgb_image& image) {
  draw_mask(image, KNOB_DESIGN, KNOB_DESIGN, knob_outline(), 1, 0);
}

namespace {

void draw_slider_of_radius(rgb_image& image, float radius, float pointer_half_width) {
  design_canvas canvas = widget_canvas(image, KNOB_DESIGN, KNOB_DESIGN);
  // A black cap with a grey rim and an orange pointer.
  fill(canvas, slider_outline(radius), grey(0.12f));
  fill(canvas, ring(KNOB_CENTRE, 22.4f, 23.6f), grey(0.55f));
  fill(canvas, disc(KNOB_CENTRE, 22.4f),
       radial_gradient(KNOB_CENTRE, 22.4f, grey(0.19f), grey(0.09f)));
  fill(canvas, pointer(4, radius - 1, pointer_half_width), POINTER_ORANGE);
}

}  // namespace

void draw_slider(rgb_image& image) {
  draw_slider_of_radius(image, SLIDER_RADIUS, 2.4f);
}

void draw_slider_mask(rgb_image& image) {
  draw_mask(image, KNOB_DESIGN, KNOB_DESIGN, slider_outline(SLIDER_RADIUS), 1, 0);
}

void draw_small_slider(rgb_image& image) {
  // A wider pointer, which would otherwise blur to a faint line.
  draw_slider_of_radius(image, SMALL_SLIDER_RADIUS, 3.6f);
}

void draw_small_slider_mask(rgb_image& image) {
  draw_mask(image, KNOB_DESIGN, KNOB_DESIGN, slider_outline(SMALL_SLIDER_RADIUS), 1, 0);
}

void draw_led(rgb_image& image, rgb_colour lit, rgb_colour dark, bool on) {
  design_canvas canvas = widget_canvas(image, LED_DESIGN, LED_DESIGN);
  // A chrome bezel lit from above, a groove, then the lens.
  fill(canvas, led_outline(), vertical_gradient(4, grey(0.62f), 28, grey(0.16f)));
  fill(canvas, disc(LED_CENTRE, LENS_RADIUS + 0.9f), grey(0.04f));
  const distance_field lens = disc(LED_CENTRE, LENS_RADIUS);
  const vec2 hot = LED_CENTRE + vec2{-1, -1};
  if (on) {
    fill(canvas, lens, radial_gradient(hot, LENS_RADIUS + 1, mix(lit, WHITE, 0.6f), lit * 0.8f));
    glow(canvas, lens, lit, 5, 0.45f);
  } else {
    fill(canvas, lens, radial_gradient(hot, LENS_RADIUS + 1, dark * 1.7f, dark * 0.55f));
  }
  fill(canvas, disc(LED_CENTRE + vec2{-3, -3.5f}, 2.4f), WHITE, on ? 0.55f : 0.28f);
}

void draw_led_mask(rgb_image& image) {
  draw_mask(image, LED_DESIGN, LED_DESIGN, led_outline(), 2.5f, 0.5f);
}

void draw_pattern_button(rgb_image& image, bool on) {
  design_canvas canvas = widget_canvas(image, 64, 32);
  // Dark enough for the white number printed on the button to stand out.
  const rgb_colour top = on ? rgb_colour{0.92f, 0.50f, 0.10f} : grey(0.34f);
  const rgb_colour bottom = on ? rgb_colour{0.62f, 0.25f, 0.02f} : grey(0.17f);
  fill(canvas, pattern_outline(), vertical_gradient(4, top, 28, bottom));
  // A soft shine along the top, a shadow along the bottom.
  fill(canvas, rounded_rect(PATTERN_CENTRE + vec2{0, -8.5f}, {24, 1.3f}, 1.3f), WHITE, 0.28f);
  fill(canvas, rounded_rect(PATTERN_CENTRE + vec2{0, 10}, {25, 1.3f}, 1.3f), BLACK, 0.3f);
  if (on) glow(canvas, pattern_outline(), rgb_colour{1.0f, 0.5f, 0.1f}, 3, 0.3f);
}

void draw_pattern_mask(rgb_image& image) {
  draw_mask(image, 64, 32, pattern_outline(), 3, 0.55f);
}

void draw_display(rgb_image& image, waveform wave) {
  design_canvas canvas(image, 128, 64);
  const vec2 centre{64, 32};
  fill(canvas, rounded_rect(centre, {64, 32}, 0),
       vertical_gradient(0, grey(0.22f), 64, grey(0.07f)));
  fill(canvas, rounded_rect(centre, {58.5f, 26.5f}, 3.5f), grey(0.02f));
  const distance_field screen = rounded_rect(centre, {56, 24}, 2.5f);
  fill(canvas, screen,
       vertical_gradient(8, rgb_colour{0.03f, 0.11f, 0.065f}, 56, rgb_colour{0.01f, 0.05f, 0.03f}));
  // A faint graticule.
  const rgb_colour grid{0.06f, 0.24f, 0.12f};
  for (int k = -3; k <= 3; ++k) {
    const float x = centre.x + 14.0f * k;
    fill(canvas, segment({x, 9}, {x, 55}, 0.4f), grid, 0.7f);
  }
  fill(canvas, segment({9, 32}, {119, 32}, 0.4f), grid, 0.7f);
  const distance_field trace = polyline(wave_points(wave, 14, 114, 32, 15, 2), 1.3f);
  glow(canvas, trace, rgb_colour{0.1f, 0.7f, 0.3f}, 4, 0.3f);
  fill(canvas, trace, TRACE_GREEN);
  // Glass: the upper half a touch brighter.
  fill(canvas, rounded_rect({64, 20}, {56, 12}, 2.5f), WHITE, 0.035f);
}

void draw_key(rgb_image& image, key_glyph glyph) {
  design_canvas canvas = widget_canvas(image, 64, 64);
  fill(canvas, key_outline(), vertical_gradient(6, grey(0.46f), 58, grey(0.22f)));
  fill(canvas, rounded_rect(KEY_CENTRE + vec2{0, -1}, {22, 22}, 5),
       vertical_gradient(10, grey(0.34f), 54, grey(0.28f)));
  const rgb_colour ink = grey(0.9f);
  constexpr float w = 2.3f;
  switch (glyph) {
    case key_glyph::wave:
      fill(canvas, polyline(wave_points(waveform::sine, 15, 49, 31, 9, 1), w), ink);
      break;
    case key_glyph::load:
    case key_glyph::save: {
      const bool down = glyph == key_glyph::load;
      const float tip = down ? 36 : 14, tail = down ? 14 : 36, back = down ? -9 : 9;
      fill(canvas, segment({32, tail}, {32, tip}, w), ink);
      fill(canvas, polyline({{22, tip + back}, {32, tip}, {42, tip + back}}, w), ink);
      fill(canvas, polyline({{17, 40}, {17, 47}, {47, 47}, {47, 40}}, w), ink);
      break;
    }
  }
}

void draw_key_mask(rgb_image& image) {
  draw_mask(image, 64, 64, key_outline(), 3, 0.55f);
}

}  // namespace zem::art
