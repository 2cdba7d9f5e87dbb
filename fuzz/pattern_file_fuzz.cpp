// Feeds damaged pattern files to an instrument's loader. A pattern file is up
// to 260 KB, far beyond what the fuzzer writes by itself, so the input is a
// list of damages done to a valid file:
//   byte 0       the engine (TB303, TB808, OSC, bare INSTRUMENT; modulo 4)
//   byte 1       the file length: 0 keeps the right size, otherwise the size
//                changes by (int8_t) byte 1
//   then groups of 7 bytes: a 3-byte offset (modulo the length) and a 4-byte
//   word written there, little-endian.
// Whatever the file, the loader either refuses it and leaves the instrument
// exactly as it was, or takes it over; a taken-over instrument then renders.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

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

std::vector<unsigned char> damaged_file(const std::vector<unsigned char>& image,
                                        const uint8_t* data, size_t size) {
  std::vector<unsigned char> file(image);
  if (data[1] != 0)
    file.resize(
        static_cast<size_t>(static_cast<int64_t>(file.size()) + static_cast<int8_t>(data[1])));
  for (size_t at = 2; at + 7 <= size && !file.empty(); at += 7) {
    const size_t offset = (data[at] | data[at + 1] << 8 | data[at + 2] << 16) % file.size();
    for (size_t byte = 0; byte < 4 && offset + byte < file.size(); ++byte)
      file[offset + byte] = data[at + 3 + byte];
  }
  return file;
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
