// The map editor's brush: a named, copyable record of painting settings with a compact
// binary stream form, and the colour variation that painting and the GUI boxes share.
#pragma once

#include "cindra/util/Color.hpp"
#include "cindra/util/Random.hpp"

#include <cstdint>
#include <memory>
#include <string>

namespace cindra {
class Map;
class Region;
struct MapCell;
} // namespace cindra

namespace cindra::util {
class DataReader;
class DataWriter;
} // namespace cindra::util

namespace cindra::editor {

using util::Color;

class Brush {
public:
    // What a stroke does to one cell flag; any other value acts as Keep.
    enum class FlagModifyMode : std::int32_t { Keep = 0, Set = 1, Clear = 2, Toggle = 3 };

    Brush() = default;
    virtual ~Brush() = default;
    Brush(const Brush&) = default;
    Brush& operator=(const Brush&) = default;

    // A new brush with every field copied; it shares no storage with this one.
    virtual std::unique_ptr<Brush> clone() const;
    // Writes the stream form: lengths, amounts and modes little-endian, or byte-reversed
    // when flip is set; colours and switches always as they lie in memory.
    virtual void write(util::DataWriter& out, bool flip = false) const;
    // Reads the stream form into this brush, field by field. A stream that ends early or a
    // switch byte other than 0 or 1 is a cindra::Error; the fields read before the failure
    // have already been replaced. Modes are kept as read, known or not.
    virtual void read(util::DataReader& in, bool flip = false);

    // Paints one cell: with switchA the glyph becomes one byte of text picked at random (an
    // empty text leaves the glyph alone); with switchB the foreground becomes colorA varied
    // by amountA, with switchC the background colorB varied by amountB (see jitterColor);
    // modeA acts on the Blocked flag and modeB on the Opaque flag.
    void apply(MapCell& cell, util::Random& random = util::Random::shared()) const;
    // Paints every cell of stroke that lies inside map. A stroke that can change opacity
    // marks the lights that reach the painted cells for recalculation.
    void paint(Map& map, const Region& stroke, util::Random& random = util::Random::shared()) const;

    // The text form of a brush is its name.
    std::string toString() const { return name; }

    // Bytes of the stream form without the two strings.
    static constexpr std::size_t kFixedStreamSize = 35;

    std::string name = "Brush";
    Color colorA;
    Color colorB;
    std::string text;
    std::int32_t amountA = 0;
    std::int32_t amountB = 0;
    bool switchA = false;
    bool switchB = false;
    bool switchC = false;
    FlagModifyMode modeA = FlagModifyMode::Keep;
    FlagModifyMode modeB = FlagModifyMode::Keep;
};

// A random variation of colour: 0 returns it unchanged; otherwise red, green and blue in that
// order each move by an offset in [-amount, amount - 1] (a draw r gives r mod 2*amount -
// amount), clamped to 0..255, and alpha becomes 255. A negative amount acts as its magnitude.
Color jitterColor(int amount, Color colour, util::Random& random = util::Random::shared());

} // namespace cindra::editor
