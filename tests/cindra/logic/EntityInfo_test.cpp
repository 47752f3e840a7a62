#include "cindra/Error.hpp"
#include "cindra/logic/EntityInfo.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

using cindra::logic::EntityInfo;
using cindra::util::Color;
using cindra::util::DataReader;
using cindra::util::DataWriter;

namespace {

std::string le(std::int32_t v) {
    std::string s;
    for (int shift = 0; shift < 32; shift += 8) {
        s += static_cast<char>(static_cast<std::uint32_t>(v) >> shift & 0xFFu);
    }
    return s;
}

EntityInfo readOne(const std::string& bytes) {
    std::istringstream in(bytes);
    DataReader reader(in, "e.cmap");
    return cindra::logic::readEntityInfo(reader);
}

// A record with the given colour count and colour bytes, other fields fixed.
std::string record(std::int32_t colorCount, const std::string& colorBytes) {
    return le(4) + le(-6) + le(3) + "bat" + std::string("\x01\x00\x62", 3) + le(colorCount) +
           colorBytes + le(0) + le(2) + "go";
}

} // namespace

TEST(EntityInfo, DefaultsAreTheRecordsStartingState) {
    const EntityInfo info;
    EXPECT_EQ(info.position, (cindra::util::GridPos{0, 0}));
    EXPECT_TRUE(info.name.empty());
    EXPECT_FALSE(info.hasLocation);
    EXPECT_FALSE(info.hasRender);
    EXPECT_EQ(info.glyph, 255);
    EXPECT_EQ(info.color, Color(0, 0, 0, 0));
}

TEST(EntityInfo, ReadsTheRecordLayoutWithShortColours) {
    const EntityInfo full = readOne(record(4, "\x0A\x14\x1E\x28"));
    EXPECT_EQ(full.position, (cindra::util::GridPos{4, -6}));
    EXPECT_EQ(full.name, "bat");
    EXPECT_TRUE(full.hasLocation);
    EXPECT_FALSE(full.hasRender);
    EXPECT_EQ(full.glyph, 0x62);
    EXPECT_EQ(full.color, Color(10, 20, 30, 40));
    EXPECT_EQ(full.script, "");
    EXPECT_EQ(full.scriptArgument, "go");
    // Bytes beyond the count keep their default 0.
    EXPECT_EQ(readOne(record(2, "\x0A\x14")).color, Color(10, 20, 0, 0));
    EXPECT_EQ(readOne(record(0, "")).color, Color(0, 0, 0, 0));
}

TEST(EntityInfo, RefusesBadColourCountsAndTextLengths) {
    EXPECT_THROW(readOne(record(5, "12345")), cindra::Error);
    EXPECT_THROW(readOne(record(-1, "")), cindra::Error);
    try {
        readOne(le(0) + le(0) + le(1000000) + "abc");
        FAIL();
    } catch (const cindra::Error& e) {
        EXPECT_NE(std::string(e.what()).find("e.cmap"), std::string::npos);
        EXPECT_NE(std::string(e.what()).find("entity name length 1000000"), std::string::npos);
    }
    EXPECT_THROW(readOne(record(4, "\x01\x02")), cindra::Error); // ends early
}

TEST(EntityInfo, ChunkRoundTripInFileOrder) {
    std::vector<EntityInfo> entities(3);
    entities[0].name = "first";
    entities[1].position = {-1, 2};
    entities[1].hasRender = true;
    entities[1].glyph = 0;
    entities[2].script = "entity.lamp";
    entities[2].scriptArgument = std::string("with\0zero", 9);
    std::ostringstream out;
    cindra::logic::writeEntityChunk(out, entities);
    const std::string bytes = out.str();
    ASSERT_EQ(bytes.substr(0, 4), "ENTI");
    std::istringstream in(bytes.substr(8));
    DataReader reader(in, "e.cmap");
    std::vector<std::string> order;
    cindra::logic::readEntityChunk(reader,
                                   [&](const EntityInfo& info) { order.push_back(info.name); });
    EXPECT_EQ(order, (std::vector<std::string>{"first", "", ""}));
    std::istringstream again(bytes.substr(8));
    DataReader reader2(again, "e.cmap");
    EXPECT_EQ(cindra::logic::readEntityChunk(reader2), entities);
    // The length field is exact.
    EXPECT_EQ(static_cast<std::size_t>(static_cast<unsigned char>(bytes[4]) |
                                       static_cast<unsigned char>(bytes[5]) << 8),
              bytes.size() - 8);

    std::istringstream negative(le(-2));
    DataReader reader3(negative, "e.cmap");
    EXPECT_THROW(cindra::logic::readEntityChunk(reader3), cindra::Error);
    std::istringstream huge(le(100) + record(4, "abcd"));
    DataReader reader4(huge, "e.cmap");
    EXPECT_THROW(cindra::logic::readEntityChunk(reader4), cindra::Error);
}
