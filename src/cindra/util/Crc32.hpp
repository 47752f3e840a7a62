// The standard CRC-32 (reflected polynomial 0xEDB88320, initial value and final XOR
// 0xFFFFFFFF): stable, well-spread identifiers from file names and other byte strings.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace cindra::util {

// The 256-entry lookup table of the reflected polynomial.
const std::array<std::uint32_t, 256>& crc32Table();

// CRC-32 of the bytes of data; crc32("123456789") == 0xCBF43926.
std::uint32_t crc32(std::string_view data);

// Continues a running CRC: pass 0 for the first piece and the previous result after that,
// so crc32(b, crc32(a)) == crc32(a + b).
std::uint32_t crc32(std::string_view data, std::uint32_t previous);

} // namespace cindra::util
