#include "cindra/editor/Brush.hpp"

#include "cindra/Error.hpp"
#include "cindra/Map.hpp"
#include "cindra/Region.hpp"
#include "cindra/util/DataReader.hpp"
#include "cindra/util/DataWriter.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

using cindra::Error;
using cindra::editor::Brush;
using cindra::editor::jitterColor;
using cindra::util::Color;
using cindra::util::DataReader;
using cindra::util::DataWriter;
using Mode = Brush::FlagModifyMode;

namespace {

std::string written(const Brush& brush, bool flip) {
    std::ostringstream out;
    DataWriter writer(out);
    brush.write(writer, flip);
    return out.str();
}

Brush readBack(const std::string& bytes, bool flip) {
    std::istringstream in(bytes);
    DataReader reader(in, "brush.bin");
    Brush brush;
    brush.read(reader, flip);
    return brush;
}

Brush sampleBrush() {
    Brush b;
    b.name = "Moss";
    b.colorA = Color(10, 20, 30, 40);
    b.colorB = Color(1, 2, 3, 4);
    b.text = ".,'";
    b.amountA = -7;
    b.amountB = 0x01020304;
    b.switchA = true;
    b.switchC = true;
    b.modeA = Mode::Toggle;
    b.modeB = Mode::Clear;
    return b;
}

void expectSameFields(const Brush& a, const Brush& b) {
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.colorA, b.colorA);
    EXPECT_EQ(a.colorB, b.colorB);
    EXPECT_EQ(a.text, b.text);
    EXPECT_EQ(a.amountA, b.amountA);
    EXPECT_EQ(a.amountB, b.amountB);
    EXPECT_EQ(a.switchA, b.switchA);
    EXPECT_EQ(a.switchB, b.switchB);
    EXPECT_EQ(a.switchC, b.switchC);
    EXPECT_EQ(a.modeA, b.modeA);
    EXPECT_EQ(a.modeB, b.modeB);
}

} // namespace

TEST(Brush, DefaultBrushStreamsToFortyBytes) {
    const std::string bytes = written(Brush(), false);
    std::string expected("\x05\0\0\0Brush", 9);
    expected += std::string(8 + 4 + 19, '\0');
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(bytes.size(), 40u);
    EXPECT_EQ(Brush().toString(), "Brush");
}

TEST(Brush, RoundTripsWithEitherFlipSetting) {
    const Brush source = sampleBrush();
    for (bool flip : {false, true}) {
        const std::string bytes = written(source, flip);
        EXPECT_EQ(bytes.size(), Brush::kFixedStreamSize + 4 + 3);
        expectSameFields(readBack(bytes, flip), source);
    }
}

TEST(Brush, FlippedStreamSwapsWordsButNotColours) {
    Brush source;
    source.name = "";
    source.colorA = Color(1, 2, 3, 4);
    source.amountA = 0x01020304;
    source.modeB = Mode::Set;
    const std::string bytes = written(source, true);
    EXPECT_EQ(bytes.substr(0, 8), std::string("\0\0\0\0\x01\x02\x03\x04", 8));
    const Brush mixed = readBack(bytes, false);
    EXPECT_EQ(mixed.colorA, source.colorA);
    EXPECT_EQ(mixed.amountA, 0x04030201);
    EXPECT_EQ(static_cast<std::int32_t>(mixed.modeB), 0x01000000);
    EXPECT_EQ(mixed.modeA, Mode::Keep);
}

TEST(Brush, CloneSharesNothing) {
    Brush source = sampleBrush();
    auto copy = source.clone();
    copy->name += " (copy)";
    copy->text[0] = '#';
    EXPECT_EQ(source.name, "Moss");
    EXPECT_EQ(source.text, ".,'");
    expectSameFields(*source.clone(), source);
}

TEST(Brush, ShortOrDamagedStreamsFailAfterReplacingEarlierFields) {
    const std::string bytes = written(sampleBrush(), false);
    std::istringstream in(bytes.substr(0, 20));
    DataReader reader(in, "brush.bin");
    Brush target;
    EXPECT_THROW(target.read(reader, false), Error);
    EXPECT_EQ(target.name, "Moss");
    EXPECT_EQ(target.colorB, Color(1, 2, 3, 4));

    // A string length far beyond the data is refused before anything is allocated.
    std::string huge = bytes;
    huge[3] = '\x7F';
    EXPECT_THROW(readBack(huge, false), Error);

    std::string badSwitch = bytes;
    badSwitch[4 + 4 + 8 + 4 + 3 + 8] = 2; // switchA
    EXPECT_THROW(readBack(badSwitch, false), Error);
}

TEST(JitterColor, ZeroAmountKeepsTheColourAndAlpha) {
    cindra::util::Random random(1);
    EXPECT_EQ(jitterColor(0, Color(9, 8, 7, 6), random), Color(9, 8, 7, 6));
}

TEST(JitterColor, OffsetsStayInRangeAndClamp) {
    cindra::util::Random random(42);
    int low = 0;
    int high = 0;
    for (int i = 0; i < 2000; ++i) {
        const Color c = jitterColor(3, Color(100, 0, 255, 7), random);
        EXPECT_EQ(c.a, 255);
        ASSERT_GE(c.r, 97);
        ASSERT_LE(c.r, 102);
        ASSERT_LE(c.g, 2);
        ASSERT_GE(c.b, 252);
        low = c.r == 97 ? low + 1 : low;
        high = c.r == 102 ? high + 1 : high;
    }
    // Both ends of [-3, 2] occur.
    EXPECT_GT(low, 0);
    EXPECT_GT(high, 0);
    // Extreme amounts neither overflow nor leave the byte range.
    const Color wild = jitterColor(-2147483647 - 1, Color(128, 128, 128), random);
    EXPECT_EQ(wild.a, 255);
}

TEST(JitterColor, DrawsOneNumberPerChannelInOrder) {
    cindra::util::Random a(7);
    cindra::util::Random b(7);
    const Color c = jitterColor(10, Color(50, 60, 70), a);
    EXPECT_EQ(c.r, 50 + static_cast<int>(b.next() % 20) - 10);
    EXPECT_EQ(c.g, 60 + static_cast<int>(b.next() % 20) - 10);
    EXPECT_EQ(c.b, 70 + static_cast<int>(b.next() % 20) - 10);
}

TEST(BrushPainting, FlagModesActOnTheirFlags) {
    using cindra::Blocked;
    using cindra::MapCell;
    using cindra::Opaque;
    Brush brush;
    MapCell cell;
    cell.flags = Opaque | 0x100;
    cindra::util::Random random(3);
    brush.apply(cell, random); // Keep, Keep
    EXPECT_EQ(cell.flags, Opaque | 0x100u);
    brush.modeA = Mode::Set;
    brush.modeB = Mode::Toggle;
    brush.apply(cell, random);
    EXPECT_EQ(cell.flags, Blocked | 0x100u);
    brush.modeA = Mode::Clear;
    brush.modeB = static_cast<Mode>(77); // unknown modes keep the flag
    brush.apply(cell, random);
    EXPECT_EQ(cell.flags, 0x100u);
}

TEST(BrushPainting, SwitchesChooseWhatIsPainted) {
    cindra::MapCell cell;
    cell.glyph = 7;
    cell.foreground = Color(1, 1, 1, 1);
    cindra::util::Random random(5);
    Brush brush;
    brush.text = "ab";
    brush.colorA = Color(200, 100, 50, 9);
    brush.colorB = Color(10, 20, 30, 40);
    brush.switchC = true;
    brush.apply(cell, random);
    EXPECT_EQ(cell.glyph, 7u);
    EXPECT_EQ(cell.foreground, Color(1, 1, 1, 1));
    EXPECT_EQ(cell.background, Color(10, 20, 30, 40)); // amount 0: exactly colorB

    brush.switchA = true;
    brush.switchB = true;
    brush.amountA = 2;
    bool sawA = false;
    bool sawB = false;
    for (int i = 0; i < 50; ++i) {
        brush.apply(cell, random);
        sawA = sawA || cell.glyph == 'a';
        sawB = sawB || cell.glyph == 'b';
        ASSERT_TRUE(cell.glyph == 'a' || cell.glyph == 'b');
        ASSERT_LE(std::abs(cell.foreground.r - 200), 2);
        ASSERT_EQ(cell.foreground.a, 255);
    }
    EXPECT_TRUE(sawA && sawB);
}

TEST(BrushPainting, PaintsInsideTheMapAndMarksLightsOnOpacityChanges) {
    cindra::Map map(6, 6);
    auto light = std::make_shared<cindra::LightSource>(
        cindra::util::GridPos{2, 2}, 2, Color(255, 255, 255), cindra::LightSource::Falloff::Linear);
    map.addLight(light);
    ASSERT_FALSE(light->needsRecalculation());

    Brush brush;
    brush.modeA = Mode::Set;
    cindra::Region stroke;
    stroke.add(1, 1);
    stroke.add(-1, 0);
    stroke.add(6, 6);
    brush.paint(map, stroke);
    EXPECT_EQ(map.getCell(1, 1).flags, static_cast<std::uint32_t>(cindra::Blocked));
    EXPECT_FALSE(light->needsRecalculation()); // walls that let light through change nothing

    brush.modeB = Mode::Set;
    brush.paint(map, stroke);
    EXPECT_TRUE(light->needsRecalculation());
    EXPECT_FALSE(cindra::isTransparent(map.getCell(1, 1)));
}
