#include "instrument_settings.h"

#include <cstring>

#include "field_codec.h"

namespace {

template <typename Visit>
void for_each_setting(INSTRUMENT& instrument, Visit&& visit) {
  for_each_placed(
      instrument, instrument_fields(), 0,
      [](const field_spec& spec) { return spec.settings_offset; }, visit);
}

}  // namespace

void encode_settings(INSTRUMENT& instrument, std::span<unsigned char> settings) {
  std::memset(settings.data(), 0, settings.size());
  for_each_setting(instrument, [&](const field_spec&, field_location element, int32_t at, int32_t) {
    put_word(settings.data() + at, word_of(element));
  });
}

std::string settings_refusal(INSTRUMENT& instrument, std::span<const unsigned char> settings) {
  if (settings.size() != instrument_settings_size)
    return "LFO settings of " + std::to_string(settings.size()) + " bytes, not " +
           std::to_string(instrument_settings_size);
  std::string refusal;
  for_each_setting(instrument,
                   [&](const field_spec& spec, field_location, int32_t at, int32_t index) {
                     if (refusal.empty())
                       refusal = value_refusal(spec, get_word(settings.data() + at), index);
                   });
  return refusal;
}

void apply_settings(INSTRUMENT& instrument, std::span<const unsigned char> settings) {
  for_each_setting(instrument, [&](const field_spec&, field_location element, int32_t at, int32_t) {
    store_word(element, get_word(settings.data() + at));
  });
}
