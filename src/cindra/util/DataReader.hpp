// Little-endian reading of binary files (the map file and its chunks) with the checks that
// keep damaged or hostile input from causing huge allocations or silently short data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>

namespace cindra::util {

// Reads 32-bit and 8-bit integers, byte blocks and length-prefixed texts from a stream.
// Every failure is a cindra::Error whose message names the file (and the current context,
// e.g. the chunk being read).
class DataReader {
public:
    // name is the file name used in error messages. The stream should be seekable, so that
    // counts can be checked against the bytes that are left; if it is not, they are only
    // checked for sign and data is read as it comes.
    DataReader(std::istream& in, std::string name);

    std::int32_t readInt32();
    std::uint32_t readUint32();
    std::uint8_t readUint8();
    // Reads exactly size bytes; a stream that ends first is an error.
    void readBytes(void* data, std::size_t size);
    // Reads up to size bytes and returns how many were there (for a trailing chunk header).
    std::size_t readSome(void* data, std::size_t size);
    // A 32-bit signed byte count followed by that many bytes, no terminator.
    std::string readText(const char* what = "text length");
    // A 32-bit signed count of elements each taking at least minBytes bytes in the file;
    // refused when negative or when the rest of the file cannot hold that many.
    std::int32_t readCount(const char* what, std::size_t minBytes);
    // Skips size bytes; the file must hold them.
    void skip(std::uint64_t size);

    // Bytes from the current position to the end of the stream (huge when unknown).
    std::uint64_t remaining();

    // Text put in error messages after the file name, e.g. "chunk REGN"; empty for none.
    void setContext(std::string context) { context_ = std::move(context); }

    // Throws the error "File <name> <problem>" with the context appended, e.g.
    // "File a.cmap ends early in chunk CELL.".
    [[noreturn]] void fail(const std::string& problem) const;

    std::istream& stream() { return in_; }
    const std::string& name() const { return name_; }

private:
    std::istream& in_;
    std::string name_;
    std::string context_;
    std::int64_t end_ = -1; // stream position of the end, -1 when unknown
};

} // namespace cindra::util
