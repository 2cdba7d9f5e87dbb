#include "next_power_of_two.h"

uint32_t next_power_of_two(uint32_t value) {
  uint32_t power = 1;
  while (power < value && power != 0x80000000u) power <<= 1;
  return power;
}
