#include "cindra/logic/EntityInfo.hpp"

#include <fmt/format.h>

#include <sstream>

namespace cindra::logic {

namespace {

// Smallest record: x, y, three text lengths, three bytes and the colour count.
constexpr std::size_t kMinRecordBytes = 4 + 4 + 4 + 1 + 1 + 1 + 4 + 4 + 4;
constexpr std::int32_t kColorBytes = 4;

} // namespace

EntityInfo readEntityInfo(util::DataReader& reader) {
    EntityInfo info;
    info.position.x = reader.readInt32();
    info.position.y = reader.readInt32();
    info.name = reader.readText("entity name length");
    info.hasLocation = reader.readUint8() != 0;
    info.hasRender = reader.readUint8() != 0;
    info.glyph = reader.readUint8();
    const std::int32_t colorCount = reader.readInt32();
    if (colorCount < 0 || colorCount > kColorBytes) {
        reader.fail(
            fmt::format("has an entity colour count {} outside 0..{}", colorCount, kColorBytes));
    }
    std::uint8_t bytes[kColorBytes] = {0, 0, 0, 0};
    reader.readBytes(bytes, static_cast<std::size_t>(colorCount));
    info.color = util::Color(bytes[0], bytes[1], bytes[2], bytes[3]);
    info.script = reader.readText("entity script name length");
    info.scriptArgument = reader.readText("entity script argument length");
    return info;
}

void writeEntityInfo(util::DataWriter& writer, const EntityInfo& info) {
    writer.writeInt32(info.position.x);
    writer.writeInt32(info.position.y);
    writer.writeText(info.name);
    writer.writeUint8(info.hasLocation ? 1 : 0);
    writer.writeUint8(info.hasRender ? 1 : 0);
    writer.writeUint8(info.glyph);
    writer.writeInt32(kColorBytes);
    const std::uint8_t bytes[kColorBytes] = {info.color.r, info.color.g, info.color.b,
                                             info.color.a};
    writer.writeBytes(bytes, sizeof bytes);
    writer.writeText(info.script);
    writer.writeText(info.scriptArgument);
}

void readEntityChunk(util::DataReader& reader, const std::function<void(const EntityInfo&)>& each) {
    const std::int32_t count = reader.readCount("entity count", kMinRecordBytes);
    for (std::int32_t i = 0; i < count; ++i) {
        each(readEntityInfo(reader));
    }
}

std::vector<EntityInfo> readEntityChunk(util::DataReader& reader) {
    std::vector<EntityInfo> entities;
    readEntityChunk(reader, [&](const EntityInfo& info) { entities.push_back(info); });
    return entities;
}

void writeEntityChunk(std::ostream& out, const std::vector<EntityInfo>& entities) {
    std::ostringstream payload;
    util::DataWriter writer(payload);
    writer.writeInt32(static_cast<std::int32_t>(entities.size()));
    for (const EntityInfo& info : entities) {
        writeEntityInfo(writer, info);
    }
    mapfile::writeChunk(out, kEntityChunkTag, payload.str());
}

ChunkHandler collectEntities(std::vector<EntityInfo>& out) {
    return [&out](util::DataReader& reader, std::string_view tag, std::uint32_t) {
        if (tag != kEntityChunkTag) {
            return false;
        }
        readEntityChunk(reader, [&out](const EntityInfo& info) { out.push_back(info); });
        return true;
    };
}

} // namespace cindra::logic
