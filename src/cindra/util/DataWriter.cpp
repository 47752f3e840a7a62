#include "cindra/util/DataWriter.hpp"

#include "cindra/Error.hpp"

#include <limits>

namespace cindra::util {

void DataWriter::writeUint32(std::uint32_t v) {
    const unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                                static_cast<unsigned char>(v >> 16),
                                static_cast<unsigned char>(v >> 24)};
    writeBytes(b, 4);
}

void DataWriter::writeBytes(const void* data, std::size_t size) {
    out_.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
}

void DataWriter::writeText(std::string_view text) {
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        throw Error("Text too long to write: " + std::to_string(text.size()) + " bytes");
    }
    writeInt32(static_cast<std::int32_t>(text.size()));
    writeBytes(text.data(), text.size());
}

} // namespace cindra::util
