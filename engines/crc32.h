#pragma once
// CRC-32 as zip, PNG and Ethernet compute it (reflected polynomial 0xEDB88320,
// initial and final value 0xFFFFFFFF), so any tool can verify a session's
// checksums. A running checksum continues over several pieces:
// crc32(b, crc32(a)) is the checksum of a followed by b.
#include <cstdint>
#include <span>

uint32_t crc32(std::span<const unsigned char> bytes, uint32_t running = 0);
