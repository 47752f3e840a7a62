#include "cindra/editor/Brush.hpp"

#include "cindra/Error.hpp"
#include "cindra/Map.hpp"
#include "cindra/util/DataReader.hpp"
#include "cindra/util/DataWriter.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <cstdlib>

namespace cindra::editor {

namespace {

std::uint32_t byteSwap(std::uint32_t v) {
    return (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
}

void writeWord(util::DataWriter& out, std::uint32_t v, bool flip) {
    out.writeUint32(flip ? byteSwap(v) : v);
}

std::uint32_t readWord(util::DataReader& in, bool flip) {
    const std::uint32_t v = in.readUint32();
    return flip ? byteSwap(v) : v;
}

void writeString(util::DataWriter& out, const std::string& s, bool flip) {
    if (s.size() > 0xFFFFFFFFu) {
        throw Error(fmt::format("Brush text of {} bytes is too long to write", s.size()));
    }
    writeWord(out, static_cast<std::uint32_t>(s.size()), flip);
    out.writeBytes(s.data(), s.size());
}

// Grows the string with the bytes actually read, so a damaged length cannot force a huge
// allocation before the stream runs out.
std::string readString(util::DataReader& in, bool flip) {
    const std::uint32_t length = readWord(in, flip);
    if (length > in.remaining()) {
        in.fail("ends early");
    }
    constexpr std::size_t kPiece = 1 << 16;
    std::string s;
    while (s.size() < length) {
        const std::size_t start = s.size();
        s.resize(start + std::min<std::size_t>(kPiece, length - start));
        in.readBytes(s.data() + start, s.size() - start);
    }
    return s;
}

Color readColor(util::DataReader& in) {
    Color c;
    in.readBytes(&c, sizeof c);
    return c;
}

bool readSwitch(util::DataReader& in) {
    const std::uint8_t b = in.readUint8();
    if (b > 1) {
        in.fail(fmt::format("has a brush switch byte {} that is neither 0 nor 1", b));
    }
    return b == 1;
}

// Any 32-bit value is kept as read (a stream of the other byte order gives swapped modes);
// painting treats a value outside the enumeration as Keep.
Brush::FlagModifyMode readMode(util::DataReader& in, bool flip) {
    return static_cast<Brush::FlagModifyMode>(readWord(in, flip));
}

std::uint8_t jitterChannel(std::uint8_t channel, std::uint64_t span, util::Random& random) {
    const auto offset =
        static_cast<std::int64_t>(random.next() % span) - static_cast<std::int64_t>(span / 2);
    return static_cast<std::uint8_t>(std::clamp<std::int64_t>(channel + offset, 0, 255));
}

std::uint32_t modifyFlag(std::uint32_t flags, std::uint32_t flag, Brush::FlagModifyMode mode) {
    switch (mode) {
    case Brush::FlagModifyMode::Set:
        return flags | flag;
    case Brush::FlagModifyMode::Clear:
        return flags & ~flag;
    case Brush::FlagModifyMode::Toggle:
        return flags ^ flag;
    default:
        return flags;
    }
}

} // namespace

void Brush::apply(MapCell& cell, util::Random& random) const {
    if (switchA && !text.empty()) {
        const std::size_t pick = text.size() == 1 ? 0 : random.next() % text.size();
        cell.glyph = static_cast<unsigned char>(text[pick]);
    }
    if (switchB) {
        cell.foreground = jitterColor(amountA, colorA, random);
    }
    if (switchC) {
        cell.background = jitterColor(amountB, colorB, random);
    }
    cell.flags = modifyFlag(cell.flags, Blocked, modeA);
    cell.flags = modifyFlag(cell.flags, Opaque, modeB);
}

void Brush::paint(Map& map, const Region& stroke, util::Random& random) const {
    stroke.visit([&](int& x, int& y) {
        if (map.isInside(x, y)) {
            MapCell& cell = map.getCell(x, y);
            const bool wasTransparent = isTransparent(cell);
            apply(cell, random);
            if (isTransparent(cell) != wasTransparent) {
                // Sets the flag again through the map, which marks the lights reaching the cell.
                map.setTransparent(x, y, isTransparent(cell));
            }
        }
        return 0;
    });
}

std::unique_ptr<Brush> Brush::clone() const {
    return std::make_unique<Brush>(*this);
}

void Brush::write(util::DataWriter& out, bool flip) const {
    writeString(out, name, flip);
    out.writeBytes(&colorA, sizeof colorA);
    out.writeBytes(&colorB, sizeof colorB);
    writeString(out, text, flip);
    writeWord(out, static_cast<std::uint32_t>(amountA), flip);
    writeWord(out, static_cast<std::uint32_t>(amountB), flip);
    out.writeUint8(switchA ? 1 : 0);
    out.writeUint8(switchB ? 1 : 0);
    out.writeUint8(switchC ? 1 : 0);
    writeWord(out, static_cast<std::uint32_t>(modeA), flip);
    writeWord(out, static_cast<std::uint32_t>(modeB), flip);
}

void Brush::read(util::DataReader& in, bool flip) {
    name = readString(in, flip);
    colorA = readColor(in);
    colorB = readColor(in);
    text = readString(in, flip);
    amountA = static_cast<std::int32_t>(readWord(in, flip));
    amountB = static_cast<std::int32_t>(readWord(in, flip));
    switchA = readSwitch(in);
    switchB = readSwitch(in);
    switchC = readSwitch(in);
    modeA = readMode(in, flip);
    modeB = readMode(in, flip);
}

Color jitterColor(int amount, Color colour, util::Random& random) {
    if (amount == 0) {
        return colour;
    }
    const std::uint64_t span = 2 * static_cast<std::uint64_t>(std::llabs(amount));
    colour.r = jitterChannel(colour.r, span, random);
    colour.g = jitterChannel(colour.g, span, random);
    colour.b = jitterChannel(colour.b, span, random);
    colour.a = 255;
    return colour;
}

} // namespace cindra::editor
