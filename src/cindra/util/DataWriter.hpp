// Little-endian writing of binary files: the counterpart of DataReader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string_view>

namespace cindra::util {

class DataWriter {
public:
    explicit DataWriter(std::ostream& out) : out_(out) {}

    void writeInt32(std::int32_t v) { writeUint32(static_cast<std::uint32_t>(v)); }
    void writeUint32(std::uint32_t v);
    void writeUint8(std::uint8_t v) { writeBytes(&v, 1); }
    void writeBytes(const void* data, std::size_t size);
    // A 32-bit signed byte count followed by the bytes; refuses texts over 2^31 - 1 bytes.
    void writeText(std::string_view text);

    std::ostream& stream() { return out_; }

private:
    std::ostream& out_;
};

} // namespace cindra::util
