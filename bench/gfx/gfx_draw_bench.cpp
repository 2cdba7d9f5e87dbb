// Start-up and drawing costs of the graphics toolkit.
//
//   xvfb-run -a -s "-screen 0 1024x768x24 -noreset" gfx_draw_bench [installation folder]
//
// The folder must hold OPENGL.ZPK with its images and Test.ttf; without it a
// synthetic installation of the same shape (three 1024 x 128 panel backgrounds,
// 23 small images of 64 x 64) is written to a temporary folder.
#include <GL/gl.h>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "font.h"
#include "texture_library.h"
#include "texture_upload.h"
#include "video.h"
#include "widget.h"

namespace {

namespace fs = std::filesystem;

void write_bmp(const fs::path& path, int width, int height, Uint8 shade) {
  SDL_Surface* surface =
      SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 24, 0xff0000, 0x00ff00, 0x0000ff, 0);
  for (int row = 0; row < height; ++row) {
    Uint8* line = static_cast<Uint8*>(surface->pixels) + row * surface->pitch;
    for (int i = 0; i < 3 * width; ++i) line[i] = static_cast<Uint8>(shade + row + i);
  }
  SDL_SaveBMP(surface, path.c_str());
  SDL_FreeSurface(surface);
}

fs::path write_synthetic_installation() {
  std::string pattern = (fs::temp_directory_path() / "zem-gfx-bench-XXXXXX").string();
  const fs::path folder = mkdtemp(pattern.data());
  std::string index = "ZPK 1\n";
  for (int i = 0; i < 26; ++i) {
    const std::string file = "image" + std::to_string(i) + ".bmp";
    if (i < 3) {
      write_bmp(folder / file, 1024, 128, static_cast<Uint8>(i));
    } else {
      write_bmp(folder / file, 64, 64, static_cast<Uint8>(i));
    }
    // Appended piece by piece: GCC 12 at -O3 takes "T" + std::string for an
    // overlapping copy (a false -Wrestrict that fails the Release build).
    index.append("T").append(std::to_string(i)).append(" ").append(file).append(" SIMPLEPART\n");
  }
  std::FILE* out = std::fopen((folder / "OPENGL.ZPK").c_str(), "w");
  std::fputs((index + "END\n").c_str(), out);
  std::fclose(out);
  fs::copy_file("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", folder / "Test.ttf");
  return folder;
}

// One panel's worth of widgets: a background, 79 knobs, lights and buttons,
// one in three masked.
std::vector<std::unique_ptr<SPRITE>> make_panel() {
  std::vector<std::unique_ptr<SPRITE>> items;
  const int count = texture_library->count;
  auto background =
      std::make_unique<SPRITE>(texture_library->names[count > 1 ? 1 : 0], 400, 562, 0);
  background->width = 400;
  background->height = 62;
  items.push_back(std::move(background));
  for (int i = 1; i < 80; ++i) {
    auto item = std::make_unique<SPRITE>(texture_library->names[i % count], 20 + (i % 20) * 38,
                                         520 + (i / 20) * 25, 0);
    item->width = 12;
    item->height = 12;
    item->angle = (i * 37) % 360;
    if (i % 3 == 0) item->mask_texture = (i + 1) % count;
    items.push_back(std::move(item));
  }
  return items;
}

// Argument: 0 draws the whole panel, 1 only its sprites, 2 only its texts.
void BM_draw_panel(benchmark::State& state) {
  auto items = make_panel();
  const bool sprites = state.range(0) != 2;
  const bool texts = state.range(0) != 1;
  for (auto _ : state) {
    push_2d_projection(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT);
    glColor3ub(255, 255, 255);
    if (sprites) {
      for (auto it = items.rbegin(); it != items.rend(); ++it) (*it)->draw();
    }
    for (int i = 0; texts && i < 40; ++i) {
      const SPRITE& anchor = *items[2 * i];
      print_text(i % 2 ? large_font : small_font, anchor.x + 35, 625 - anchor.y - 20, "%3.1f",
                 0.25 * i);
    }
    pop_2d_projection();
    glFinish();
  }
  state.counters["sprites"] = sprites ? 80 : 0;
  state.counters["texts"] = texts ? 40 : 0;
}
BENCHMARK(BM_draw_panel)->Unit(benchmark::kMicrosecond)->Arg(0)->Arg(1)->Arg(2);

void BM_present_frame(benchmark::State& state) {
  for (auto _ : state) present_frame();
}
BENCHMARK(BM_present_frame)->Unit(benchmark::kMicrosecond);

void BM_read_archive(benchmark::State& state) {
  // Refills the same texture objects as start-up did.
  std::fflush(stdout);
  const int console = dup(1);
  const int null_device = open("/dev/null", O_WRONLY);
  dup2(null_device, 1);  // the reader's progress lines are not measured output
  for (auto _ : state) {
    TEXTURE_LIBRARY library("OPENGL.ZPK", load_texture_file);
    benchmark::DoNotOptimize(library.count);
  }
  std::fflush(stdout);
  dup2(console, 1);
  close(console);
  close(null_device);
}
BENCHMARK(BM_read_archive)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_init_fonts(benchmark::State& state) {
  for (auto _ : state) {
    FONT font;
    init_font(font, "Test.ttf", 12);
    glDeleteLists(font.list_base, FONT_GLYPHS);
    glDeleteTextures(FONT_GLYPHS, font.glyph_textures);
    delete[] font.glyph_textures;
  }
}
BENCHMARK(BM_init_fonts)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  const bool own_folder = argc < 2;
  const fs::path folder = own_folder ? write_synthetic_installation() : fs::path(argv[1]);
  fs::current_path(folder);

  const auto start = std::chrono::steady_clock::now();
  if (!init_video()) return 1;
  const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
  std::fprintf(stderr, "init_video: %.1f ms with %d textures from %s\n", took.count(),
               texture_library->count, folder.c_str());
  if (texture_library->count == 0) {
    std::fprintf(stderr, "The panel is built from the textures: the index lists none\n");
    return 1;
  }

  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (own_folder) fs::remove_all(folder);
  return 0;
}
