// The ring between the audio thread and the main thread: under a producer
// and a consumer running flat out, every item that is taken arrives once and
// in order, and every item refused is counted.
#include <gtest/gtest.h>

#include <cstdint>
#include <thread>

#include "spsc_ring.h"

TEST(SpscRing, CarriesEveryItemOnceAndInOrderAndCountsTheRefused) {
  constexpr uint64_t items = 200000;
  spsc_ring<uint64_t, 64> ring;
  uint64_t refused = 0;
  std::thread producer([&] {
    for (uint64_t i = 0; i < items;)
      if (ring.push(i))
        ++i;
      else
        ++refused;
  });
  uint64_t expected = 0;
  while (expected < items) {
    uint64_t item = 0;
    if (!ring.pop(item)) continue;
    ASSERT_EQ(item, expected);
    ++expected;
  }
  producer.join();
  uint64_t item = 0;
  EXPECT_FALSE(ring.pop(item));
  EXPECT_EQ(ring.dropped(), refused);
}
