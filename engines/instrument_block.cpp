// The instrument's 216-byte block in a pattern file: every field at a fixed
// offset, little-endian, whatever the machine. The four places that held the
// saving run's references (dispatch table, stream handle, the two LFO records)
// and the reserved word are written as zeros and ignored on reading.
#include <cstring>

#include "instrument.h"

namespace {
struct int_field {
  int offset;
  shared_int INSTRUMENT::*field;
};
struct float_field {
  int offset;
  shared_float INSTRUMENT::*field;
};

constexpr int engine_name_offset = 8;
constexpr int instrument_number_offset = 88;

// instrument_number (88) is written but not read back: see decode_block.
constexpr int_field int_fields[] = {
    {92, &INSTRUMENT::step_count},           {96, &INSTRUMENT::current_step},
    {100, &INSTRUMENT::step_sample_counter}, {104, &INSTRUMENT::queued_pattern},
    {108, &INSTRUMENT::chain_switch},        {112, &INSTRUMENT::pattern_count},
    {116, &INSTRUMENT::current_pattern},     {124, &INSTRUMENT::power_switch},
    {144, &INSTRUMENT::noise_switch},        {160, &INSTRUMENT::distortion_switch},
    {176, &INSTRUMENT::envelope_switch},     {184, &INSTRUMENT::filter_switch},
    {188, &INSTRUMENT::filter_level},
};
constexpr float_field float_fields[] = {
    {120, &INSTRUMENT::samples_per_step},
    {128, &INSTRUMENT::volume},
    {148, &INSTRUMENT::noise_setting_1},
    {152, &INSTRUMENT::noise_setting_2},
    {156, &INSTRUMENT::noise_setting_3},
    {164, &INSTRUMENT::distortion_level},
    {168, &INSTRUMENT::p1},
    {172, &INSTRUMENT::p2},
    {180, &INSTRUMENT::envelope_level},
    {192, &INSTRUMENT::hicut},
    {196, &INSTRUMENT::filter_cutoff},
    {200, &INSTRUMENT::filter_damping},
    {204, &INSTRUMENT::filter_coefficient},
    {208, &INSTRUMENT::filter_position},
    {212, &INSTRUMENT::filter_velocity},
};

void put_word(unsigned char* at, uint32_t word) {
  for (int byte = 0; byte < 4; ++byte) at[byte] = static_cast<unsigned char>(word >> (8 * byte));
}
uint32_t get_word(const unsigned char* at) {
  uint32_t word = 0;
  for (int byte = 0; byte < 4; ++byte) word |= static_cast<uint32_t>(at[byte]) << (8 * byte);
  return word;
}
uint32_t bits_of(float value) {
  uint32_t word;
  std::memcpy(&word, &value, 4);
  return word;
}
float float_of(uint32_t word) {
  float value;
  std::memcpy(&value, &word, 4);
  return value;
}
}  // namespace

void INSTRUMENT::encode_block(unsigned char* block) const {
  std::memset(block, 0, instrument_block_size);
  std::memcpy(block + engine_name_offset, engine_name, engine_name_size);
  put_word(block + instrument_number_offset, static_cast<uint32_t>(int32_t{instrument_number}));
  for (const int_field& f : int_fields)
    put_word(block + f.offset, static_cast<uint32_t>(int32_t{this->*f.field}));
  for (const float_field& f : float_fields) put_word(block + f.offset, bits_of(this->*f.field));
}

void INSTRUMENT::decode_block(const unsigned char* block) {
  // The name is written only where it changes (loading an instrument's own
  // kind of file leaves it untouched while the audio thread reads it) and it
  // always stays terminated, whatever the file holds.
  char name[engine_name_size];
  std::memcpy(name, block + engine_name_offset, engine_name_size);
  name[engine_name_size - 1] = '\0';
  if (std::strcmp(name, engine_name) != 0) std::memcpy(engine_name, name, engine_name_size);
  // The instrument number stays the instrument's own: it is what the step
  // events use to find the panel, and a file saved from another panel would
  // otherwise send this instrument's events there.
  for (const int_field& f : int_fields)
    this->*f.field = static_cast<int32_t>(get_word(block + f.offset));
  for (const float_field& f : float_fields) this->*f.field = float_of(get_word(block + f.offset));
}

int32_t INSTRUMENT::write_state(FILE* file) {
  unsigned char block[instrument_block_size];
  encode_block(block);
  return std::fwrite(block, instrument_block_size, 1, file) == 1 ? 1 : 0;
}

// The whole block is read first and applied only when complete: a short file
// leaves the instrument as it was.
int32_t INSTRUMENT::read_state(FILE* file) {
  unsigned char block[instrument_block_size];
  if (std::fread(block, instrument_block_size, 1, file) != 1) return 0;
  decode_block(block);
  return 1;
}
