#include "cindra/util/DataReader.hpp"

#include "cindra/Error.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <limits>

namespace cindra::util {

DataReader::DataReader(std::istream& in, std::string name) : in_(in), name_(std::move(name)) {
    const std::istream::pos_type here = in_.tellg();
    if (here == std::istream::pos_type(-1)) {
        in_.clear();
        return;
    }
    in_.seekg(0, std::ios::end);
    const std::istream::pos_type end = in_.tellg();
    in_.clear();
    in_.seekg(here);
    if (end != std::istream::pos_type(-1)) {
        end_ = static_cast<std::int64_t>(end);
    }
}

void DataReader::fail(const std::string& problem) const {
    if (context_.empty()) {
        throw Error(fmt::format("File {} {}.", name_, problem));
    }
    throw Error(fmt::format("File {} {} in {}.", name_, problem, context_));
}

std::uint64_t DataReader::remaining() {
    if (end_ < 0) {
        return std::numeric_limits<std::uint64_t>::max();
    }
    const std::istream::pos_type here = in_.tellg();
    if (here == std::istream::pos_type(-1)) {
        in_.clear();
        return 0;
    }
    const auto pos = static_cast<std::int64_t>(here);
    return pos >= end_ ? 0 : static_cast<std::uint64_t>(end_ - pos);
}

std::size_t DataReader::readSome(void* data, std::size_t size) {
    in_.read(static_cast<char*>(data), static_cast<std::streamsize>(size));
    const auto got = static_cast<std::size_t>(in_.gcount());
    if (got < size) {
        in_.clear(in_.rdstate() & ~(std::ios::failbit | std::ios::eofbit));
    }
    return got;
}

void DataReader::readBytes(void* data, std::size_t size) {
    if (readSome(data, size) != size) {
        fail("ends early");
    }
}

std::uint32_t DataReader::readUint32() {
    unsigned char b[4];
    readBytes(b, 4);
    return static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
           static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}

std::int32_t DataReader::readInt32() {
    return static_cast<std::int32_t>(readUint32());
}

std::uint8_t DataReader::readUint8() {
    std::uint8_t b = 0;
    readBytes(&b, 1);
    return b;
}

std::int32_t DataReader::readCount(const char* what, std::size_t minBytes) {
    const std::int32_t count = readInt32();
    if (count < 0) {
        fail(fmt::format("has a negative {} {}", what, count));
    }
    if (static_cast<std::uint64_t>(count) * minBytes > remaining()) {
        fail(fmt::format("has a {} {} larger than the rest of the file can hold", what, count));
    }
    return count;
}

std::string DataReader::readText(const char* what) {
    const auto length = static_cast<std::size_t>(readCount(what, 1));
    std::string text;
    // Grow with the data actually read, so an unchecked length cannot force a huge buffer.
    constexpr std::size_t kPiece = 1 << 16;
    while (text.size() < length) {
        const std::size_t start = text.size();
        text.resize(start + std::min(kPiece, length - start));
        readBytes(text.data() + start, text.size() - start);
    }
    return text;
}

void DataReader::skip(std::uint64_t size) {
    if (size > remaining()) {
        fail("ends early");
    }
    if (end_ >= 0) {
        in_.seekg(static_cast<std::streamoff>(size), std::ios::cur);
        return;
    }
    char buffer[4096];
    while (size > 0) {
        const auto piece = static_cast<std::size_t>(std::min<std::uint64_t>(size, sizeof buffer));
        readBytes(buffer, piece);
        size -= piece;
    }
}

} // namespace cindra::util
