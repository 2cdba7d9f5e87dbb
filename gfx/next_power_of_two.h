#pragma once

#include <cstdint>

// The smallest power of two that is at least value; 1 for 0 and 1.
uint32_t next_power_of_two(uint32_t value);
