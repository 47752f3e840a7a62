#include "cindra/level/LevelParser.hpp"

#include "cindra/Error.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <set>
#include <utility>

namespace cindra::level {

namespace {

constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kUint32Max = std::numeric_limits<std::uint32_t>::max();

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimRight(std::string_view s) {
    while (!s.empty() && (isBlank(s.back()) || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

std::string_view trimLeft(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) {
        s.remove_prefix(1);
    }
    return s;
}

int readInt32(TokenCursor& tokens, std::string_view what) {
    return static_cast<int>(parseInteger(tokens.take(what), kInt32Min, kInt32Max, what));
}

// Each field keyword may appear once per statement.
void once(std::set<std::string>& seen, const std::string& field) {
    if (!seen.insert(field).second) {
        throw Error(fmt::format("'{}' is given twice", field));
    }
}

LightSource::Falloff readFalloff(TokenCursor& tokens) {
    const std::string& word = tokens.takeWord("falloff (linear or quadratic)");
    if (word == "linear") {
        return LightSource::Falloff::Linear;
    }
    if (word == "quadratic") {
        return LightSource::Falloff::Quadratic;
    }
    throw Error(fmt::format("unknown falloff '{}' (expected linear or quadratic)", word));
}

// The warning for a region whose cells lie outside the map, outside of them (at least one).
// isStart: it is the region in whose middle cell the game puts the player.
std::string regionProblem(const Map& map, const MapRegion& region, bool isStart,
                          std::size_t outside, const std::string& theMap) {
    const std::string name = quote(region.name);
    const std::size_t total = region.region.size();
    const GridPos player = region.region.getCenter();
    if (isStart && outside == total) {
        return fmt::format("region {} lies wholly outside {}: the game would put the player at {}",
                           name, theMap, player.toString());
    }
    if (outside == total) {
        return total == 1 ? fmt::format("region {}: its one cell lies outside {}", name, theMap)
                          : fmt::format("region {}: all of its {} cells lie outside {}", name,
                                        total, theMap);
    }
    std::string problem = fmt::format("region {}: {} of its {} cells {} outside {}", name, outside,
                                      total, outside == 1 ? "lies" : "lie", theMap);
    if (isStart && !map.isInside(player)) {
        problem +=
            fmt::format(", among them {} where the game would put the player", player.toString());
    }
    return problem;
}

} // namespace

void LevelParser::failAt(int line, const std::string& problem) const {
    throw Error(fmt::format("{}:{}: {}", fileName_, line, problem));
}

Level LevelParser::parse(std::string_view text) {
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++line_;
        try {
            parseLine(line);
        } catch (const Error& e) {
            failAt(line_, e.what());
        }
    }
    return finish();
}

void LevelParser::parseLine(std::string_view line) {
    line = trimRight(line);
    if (rowsPending_ > 0) {
        rows_.push_back({line_, std::string(line)});
        --rowsPending_;
        return;
    }
    line = trimLeft(line);
    if (!line.empty() && line.front() != '#') {
        statement(line);
    }
}

void LevelParser::statement(std::string_view line) {
    const std::string_view keyword = line.substr(0, line.find_first_of(" \t"));
    if (!versionSeen_ && keyword != "cindra-level") {
        throw Error("the source must start with 'cindra-level 1'");
    }
    if (keyword == "tile" && !regionOpen_) {
        tile(line.substr(keyword.size()));
        return;
    }
    TokenCursor tokens(tokenize(line));
    const std::string word = tokens.takeWord("a keyword");
    if (regionOpen_) {
        regionLine(word, tokens);
    } else {
        directive(word, tokens);
    }
    if (!tokens.atEnd()) {
        throw Error(
            fmt::format("unexpected {} at the end of '{}'", quote(tokens.take("").value), word));
    }
}

void LevelParser::directive(const std::string& keyword, TokenCursor& tokens) {
    if (keyword == "cindra-level") {
        version(tokens);
    } else if (keyword == "size") {
        size(tokens);
    } else if (keyword == "keys") {
        keys(tokens);
    } else if (keyword == "ambient") {
        ambient(tokens);
    } else if (keyword == "map") {
        mapBlock();
    } else if (keyword == "light") {
        light(tokens);
    } else if (keyword == "region") {
        region(tokens);
    } else if (keyword == "entity") {
        entity(tokens);
    } else if (keyword == "end") {
        throw Error("'end' without an open region");
    } else {
        throw Error(fmt::format("unknown keyword '{}'", keyword));
    }
}

void LevelParser::version(TokenCursor& tokens) {
    if (versionSeen_) {
        throw Error("'cindra-level' is given twice");
    }
    const auto v =
        parseInteger(tokens.take("the format version"), kInt32Min, kInt32Max, "format version");
    if (v != 1) {
        throw Error(fmt::format("format version {} is not supported (expected 1)", v));
    }
    versionSeen_ = true;
}

void LevelParser::size(TokenCursor& tokens) {
    if (size_) {
        throw Error("'size' is given twice");
    }
    const auto w = parseInteger(tokens.take("the width"), 0, kInt32Max, "width");
    const auto h = parseInteger(tokens.take("the height"), 0, kInt32Max, "height");
    if (w * h > mapfile::kMaxCells) {
        throw Error(fmt::format("a map of {} x {} cells is larger than the {} cells allowed", w, h,
                                mapfile::kMaxCells));
    }
    size_ = {static_cast<int>(w), static_cast<int>(h)};
}

void LevelParser::keys(TokenCursor& tokens) {
    if (!tiles_.empty() || mapSeen_) {
        throw Error("'keys' must come before the legend and the map");
    }
    keyWidth_ =
        static_cast<int>(parseInteger(tokens.take("the key width"), 1, kMaxKeyWidth, "key width"));
}

void LevelParser::ambient(TokenCursor& tokens) {
    if (ambient_) {
        throw Error("'ambient' is given twice");
    }
    const int red = readInt32(tokens, "ambient red");
    const int green = readInt32(tokens, "ambient green");
    const int blue = readInt32(tokens, "ambient blue");
    ambient_ = {red, green, blue};
}

// The key is taken as written (it may be a quote or a hash sign), then the fields follow.
void LevelParser::tile(std::string_view rest) {
    rest = trimLeft(rest);
    const std::size_t width = static_cast<std::size_t>(keyWidth_);
    const std::string_view key = rest.substr(0, rest.find_first_of(" \t"));
    if (key.size() != width) {
        throw Error(fmt::format("legend key '{}' should be {} character(s) long", key, width));
    }
    if (std::any_of(key.begin(), key.end(), [](char c) { return c < 33 || c > 126; })) {
        throw Error("legend keys are printable ASCII characters other than blanks");
    }
    if (const auto it = tiles_.find(key); it != tiles_.end()) {
        throw Error(
            fmt::format("legend key '{}' is already defined on line {}", key, it->second.line));
    }
    TokenCursor tokens(tokenize(rest.substr(width)));
    Tile entry{{}, line_};
    tileFields(tokens, entry.cell);
    tiles_.emplace(std::string(key), entry);
}

void LevelParser::tileFields(TokenCursor& tokens, MapCell& cell) {
    std::set<std::string> seen;
    while (!tokens.atEnd()) {
        const std::string field = tokens.takeWord("a tile field");
        if (field != "blocked" && field != "opaque" && field != "bits") {
            once(seen, field);
        }
        if (field == "glyph") {
            cell.glyph = parseGlyph(tokens.take("the glyph"), kUint32Max);
        } else if (field == "fg") {
            cell.foreground = parseColor(tokens.take("the foreground colour"), "foreground");
        } else if (field == "bg") {
            cell.background = parseColor(tokens.take("the background colour"), "background");
        } else if (field == "blocked") {
            cell.flags |= Blocked;
        } else if (field == "opaque") {
            cell.flags |= Opaque;
        } else if (field == "bits") {
            cell.flags |= static_cast<std::uint32_t>(
                parseInteger(tokens.take("the flag bits"), 0, kUint32Max, "flag bits"));
        } else {
            throw Error(fmt::format("unknown tile field '{}'", field));
        }
    }
}

void LevelParser::mapBlock() {
    if (!size_) {
        throw Error("'map' needs a 'size' line before it");
    }
    if (mapSeen_) {
        throw Error("'map' is given twice");
    }
    mapSeen_ = true;
    rowsPending_ = (*size_)[1];
}

void LevelParser::light(TokenCursor& tokens) {
    const GridPos position{readInt32(tokens, "light x"), readInt32(tokens, "light y")};
    std::optional<int> radius;
    Color color(255, 255, 255);
    int fade = 256;
    auto falloff = LightSource::Falloff::Linear;
    std::set<std::string> seen;
    while (!tokens.atEnd()) {
        const std::string field = tokens.takeWord("a light field");
        once(seen, field);
        if (field == "radius") {
            radius = readInt32(tokens, "radius");
        } else if (field == "color") {
            color = parseColor(tokens.take("the light colour"), "light colour");
        } else if (field == "fade") {
            fade = readInt32(tokens, "fade");
        } else if (field == "falloff") {
            falloff = readFalloff(tokens);
        } else {
            throw Error(fmt::format("unknown light field '{}'", field));
        }
    }
    if (!radius) {
        throw Error("a light needs a radius");
    }
    // The budget the game's map reader holds a level to, so the tool refuses what the game
    // would (the radius is checked first, by the light itself).
    auto light = std::make_shared<LightSource>(position, *radius, color, falloff, fade);
    if (!lightBudget_.add(*radius, static_cast<int>(falloff))) {
        if (lightBudget_.count() > mapfile::kMaxLights) {
            throw Error(fmt::format("a level has at most {} lights", mapfile::kMaxLights));
        }
        throw Error(fmt::format("the lights so far cost {} cells of light maps and ray tables "
                                "together, more than {}",
                                lightBudget_.cost(), mapfile::kMaxLitCells));
    }
    lights_.push_back(std::move(light));
    lightLines_.push_back(line_);
}

void LevelParser::region(TokenCursor& tokens) {
    MapRegion entry;
    entry.name = tokens.takeText("the region name");
    if (!tokens.atEnd()) {
        entry.parameter = tokens.takeText("the region parameter");
    }
    regions_.push_back(std::move(entry));
    regionLines_.push_back(line_);
    regionOpen_ = true;
    regionLine_ = line_;
}

void LevelParser::regionLine(const std::string& keyword, TokenCursor& tokens) {
    if (keyword == "end") {
        regionOpen_ = false;
    } else if (keyword == "cell") {
        const int x = readInt32(tokens, "cell x");
        const int y = readInt32(tokens, "cell y");
        addRegionCells(x, y, x, y);
    } else if (keyword == "rect") {
        const int x1 = readInt32(tokens, "rect x1");
        const int y1 = readInt32(tokens, "rect y1");
        const int x2 = readInt32(tokens, "rect x2");
        const int y2 = readInt32(tokens, "rect y2");
        addRegionCells(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2));
    } else if (keyword == "row") {
        const int y = readInt32(tokens, "row y");
        do {
            const std::string& run = tokens.takeWord("a run of x values (x or x1..x2)");
            const std::size_t dots = run.find("..", 1);
            const Token first{Token::Kind::Word, run.substr(0, dots)};
            const int x1 = static_cast<int>(parseInteger(first, kInt32Min, kInt32Max, "x"));
            int x2 = x1;
            if (dots != std::string::npos) {
                const Token last{Token::Kind::Word, run.substr(dots + 2)};
                x2 = static_cast<int>(parseInteger(last, kInt32Min, kInt32Max, "x"));
            }
            addRegionCells(std::min(x1, x2), y, std::max(x1, x2), y);
        } while (!tokens.atEnd());
    } else {
        throw Error(fmt::format("expected 'row', 'rect', 'cell' or 'end' in region {}, found '{}'",
                                quote(regions_.back().name), keyword));
    }
}

void LevelParser::addRegionCells(int x1, int y1, int x2, int y2) {
    // Each side is below 2^32, so the product of the two cannot overflow 64 bits.
    const std::uint64_t area =
        (std::uint64_t(std::int64_t{x2} - x1) + 1) * (std::uint64_t(std::int64_t{y2} - y1) + 1);
    if (area > kMaxRegionCells - regionCells_) {
        throw Error(fmt::format("the regions of a level may hold at most {} cells in all",
                                kMaxRegionCells));
    }
    regionCells_ += static_cast<std::size_t>(area);
    Region& cells = regions_.back().region;
    for (std::int64_t y = y1; y <= y2; ++y) {
        for (std::int64_t x = x1; x <= x2; ++x) {
            cells.add(static_cast<int>(x), static_cast<int>(y));
        }
    }
}

void LevelParser::entity(TokenCursor& tokens) {
    logic::EntityInfo info;
    info.position = {readInt32(tokens, "entity x"), readInt32(tokens, "entity y")};
    std::set<std::string> seen;
    while (!tokens.atEnd()) {
        const std::string field = tokens.takeWord("an entity field");
        once(seen, field);
        entityField(field, tokens, info);
    }
    entities_.push_back(std::move(info));
    entityLines_.push_back(line_);
}

void LevelParser::entityField(const std::string& field, TokenCursor& tokens,
                              logic::EntityInfo& info) {
    if (field == "name") {
        info.name = tokens.takeText("the entity name");
    } else if (field == "location") {
        info.hasLocation = true;
    } else if (field == "render") {
        info.hasRender = true;
    } else if (field == "glyph") {
        info.glyph = static_cast<std::uint8_t>(parseGlyph(tokens.take("the glyph"), 255));
    } else if (field == "color") {
        info.color = parseColor(tokens.take("the entity colour"), "entity colour");
    } else if (field == "script") {
        info.script = tokens.takeText("the script module");
    } else if (field == "arg") {
        info.scriptArgument = tokens.takeText("the script argument");
    } else {
        throw Error(fmt::format("unknown entity field '{}'", field));
    }
}

Level LevelParser::finish() {
    if (rowsPending_ > 0) {
        failAt(line_, fmt::format("the map ends after {} of its {} rows", rows_.size(),
                                  rows_.size() + static_cast<std::size_t>(rowsPending_)));
    }
    if (regionOpen_) {
        failAt(regionLine_,
               fmt::format("region {} is not closed with 'end'", quote(regions_.back().name)));
    }
    if (!versionSeen_ || !size_ || !mapSeen_) {
        failAt(line_, "a level needs the lines 'cindra-level 1', 'size' and 'map'");
    }
    Level level;
    level.map.setCells((*size_)[0], (*size_)[1], resolveRows());
    if (ambient_) {
        level.map.setAmbientLight((*ambient_)[0], (*ambient_)[1], (*ambient_)[2]);
    }
    level.map.setLights(std::move(lights_));
    level.map.getRegions() = std::move(regions_);
    level.entities = std::move(entities_);
    level.warnings = outsideWarnings(level);
    return level;
}

// What lies outside the map still compiles, but is most often a slip of the author's (a light
// there lights nothing at all).
std::vector<std::string> LevelParser::outsideWarnings(const Level& level) const {
    const Map& map = level.map;
    const std::string theMap = fmt::format("the {} x {} map", map.width(), map.height());
    std::vector<std::pair<int, std::string>> found;
    const auto& lights = map.getLights();
    for (std::size_t i = 0; i < lights.size(); ++i) {
        const GridPos p = lights[i]->position;
        if (!map.isInside(p)) {
            found.emplace_back(lightLines_[i],
                               fmt::format("light at {} lies outside {}", p.toString(), theMap));
        }
    }
    // The game puts the player in the middle of the first region named "start".
    const MapRegion* start = map.getRegion("start");
    const auto& regions = map.getRegions();
    for (std::size_t i = 0; i < regions.size(); ++i) {
        const Region& cells = regions[i].region;
        std::size_t outside = 0;
        cells.visit([&](int x, int y) {
            outside += map.isInside(x, y) ? 0 : 1;
            return 0;
        });
        if (outside == 0) {
            continue;
        }
        found.emplace_back(regionLines_[i],
                           regionProblem(map, regions[i], &regions[i] == start, outside, theMap));
    }
    // An entity without a location has no place in the map; its position means nothing.
    for (std::size_t i = 0; i < level.entities.size(); ++i) {
        const logic::EntityInfo& info = level.entities[i];
        if (info.hasLocation && !map.isInside(info.position)) {
            found.emplace_back(entityLines_[i],
                               fmt::format("entity {}at {} lies outside {}",
                                           info.name.empty() ? "" : quote(info.name) + " ",
                                           info.position.toString(), theMap));
        }
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> warnings;
    warnings.reserve(found.size());
    for (const auto& [line, problem] : found) {
        warnings.push_back(fmt::format("{}:{}: warning: {}", fileName_, line, problem));
    }
    return warnings;
}

// Row i of the source is the map's row height - 1 - i: the text reads as the screen shows.
std::vector<MapCell> LevelParser::resolveRows() const {
    const auto width = static_cast<std::size_t>((*size_)[0]);
    std::vector<MapCell> cells(width * rows_.size());
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        resolveRow(rows_[i], static_cast<int>(rows_.size() - 1 - i), cells);
    }
    return cells;
}

void LevelParser::resolveRow(const Row& row, int y, std::vector<MapCell>& cells) const {
    const auto width = static_cast<std::size_t>((*size_)[0]);
    const auto keyWidth = static_cast<std::size_t>(keyWidth_);
    if (row.text.size() != width * keyWidth) {
        failAt(row.line, fmt::format("map row is {} characters long, expected {}", row.text.size(),
                                     width * keyWidth));
    }
    MapCell* out = cells.data() + static_cast<std::size_t>(y) * width;
    for (std::size_t x = 0; x < width; ++x) {
        const std::string_view key = std::string_view(row.text).substr(x * keyWidth, keyWidth);
        const auto tile = tiles_.find(key);
        if (tile == tiles_.end()) {
            failAt(row.line,
                   fmt::format("unknown legend {} '{}'", keyWidth == 1 ? "character" : "key", key));
        }
        out[x] = tile->second.cell;
    }
}

} // namespace cindra::level
