#include "cindra/util/Crc32.hpp"

namespace cindra::util {

namespace {

constexpr std::array<std::uint32_t, 256> makeTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int bit = 0; bit < 8; ++bit) {
            c = (c & 1u) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        }
        table[i] = c;
    }
    return table;
}

constexpr std::array<std::uint32_t, 256> kTable = makeTable();

} // namespace

const std::array<std::uint32_t, 256>& crc32Table() {
    return kTable;
}

std::uint32_t crc32(std::string_view data, std::uint32_t previous) {
    std::uint32_t c = previous ^ 0xFFFFFFFFu;
    for (char ch : data) {
        c = kTable[(c ^ static_cast<std::uint8_t>(ch)) & 0xFFu] ^ (c >> 8);
    }
    return c ^ 0xFFFFFFFFu;
}

std::uint32_t crc32(std::string_view data) {
    return crc32(data, 0);
}

} // namespace cindra::util
