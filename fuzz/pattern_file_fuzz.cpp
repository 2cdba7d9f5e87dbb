// Feeds damaged pattern files to an instrument's loader. A pattern file is up
// to 260 KB, far beyond what the fuzzer writes by itself, so the input is a
// list of damages done to a valid file (file_damage.h), byte 0 choosing the
// engine (TB303, TB808, OSC, bare INSTRUMENT; modulo 4).
// Whatever the file, the loader either refuses it and leaves the instrument
// exactly as it was, or takes it over; a taken-over instrument then renders.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "file_damage.h"
#include "osc.h"
#include "pattern_image.h"
#include "tb303.h"
#include "tb808.h"

namespace {

INSTRUMENT& instrument_for(uint8_t choice) {
  static TB303 bass;
  static TB808 drum;
  static OSC oscillators;
  static INSTRUMENT bare;
  bare.step_count = 1;  // the least a pattern file holds
  INSTRUMENT* instruments[] = {&bass, &drum, &oscillators, &bare};
  return *instruments[choice % 4];
}

std::vector<unsigned char> image_of(INSTRUMENT& instrument) {
  std::vector<unsigned char> image(static_cast<size_t>(image_layout_of(instrument).size));
  encode_image(instrument, image);
  return image;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  INSTRUMENT& instrument = instrument_for(data[0]);
  const std::vector<unsigned char> before = image_of(instrument);
  std::vector<unsigned char> file = damaged_file(before, data, size);
  std::FILE* stream = fmemopen(file.data(), file.size(), "rb");
  if (stream == nullptr) return 0;
  const int32_t loaded = instrument.read_state(stream);
  std::fclose(stream);
  if (loaded == 0) {
    if (image_of(instrument) != before) __builtin_trap();  // a refusal changed the instrument
    return 0;
  }
  if (!image_refusal(instrument, file).empty()) __builtin_trap();  // took a bad file
  int16_t block[2 * 64];
  instrument.render(nullptr, block, sizeof block, nullptr);
  return 0;
}
