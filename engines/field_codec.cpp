#include "field_codec.h"

#include <cmath>
#include <cstdio>
#include <cstring>

uint32_t word_of(const field_location& element) {
  if (element.integer) return static_cast<uint32_t>(element.integer->load());
  uint32_t word;
  const float value = element.real->load();
  std::memcpy(&word, &value, 4);
  return word;
}

void store_word(const field_location& element, uint32_t word) {
  if (element.integer) {
    element.integer->store(static_cast<int32_t>(word));
  } else {
    float value;
    std::memcpy(&value, &word, 4);
    element.real->store(value);
  }
}

namespace {

// Built by appending: "[" + std::to_string(...) trips a false -Wrestrict
// warning of g++ 12 in optimised builds.
std::string element_name(const field_spec& spec, int32_t element) {
  std::string name(spec.name);
  const auto index = [&name](int32_t i) {
    name.push_back('[');
    name.append(std::to_string(i));
    name.push_back(']');
  };
  if (spec.dimensions() == 2) {
    index(element / spec.row_length());
    index(element % spec.row_length());
  } else if (spec.dimensions() == 1) {
    index(element);
  }
  return name;
}

std::string number_text(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", value);
  return text;
}

}  // namespace

std::string value_refusal(const field_spec& spec, uint32_t word, int32_t element) {
  double value;
  if (spec.type == field_type::integer) {
    value = static_cast<int32_t>(word);
  } else {
    float real;
    std::memcpy(&real, &word, 4);
    if (!std::isfinite(real)) return element_name(spec, element) + " is not a finite number";
    value = real;
  }
  if (spec.accepts(value)) return {};
  const std::string shown = spec.type == field_type::integer
                                ? std::to_string(static_cast<int32_t>(word))
                                : number_text(value);
  std::string reason = element_name(spec, element) + " " + shown;
  if (std::isinf(spec.high)) return reason + " is below " + number_text(spec.low);
  return reason + " is outside " + number_text(spec.low) + " to " + number_text(spec.high);
}
