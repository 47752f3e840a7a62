#include "cindra/level/LevelView.hpp"

#include "cindra/Error.hpp"
#include "cindra/util/Util.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <cstdint>

namespace cindra::level {

LevelWindow gameWindow(GridPos viewPoint) {
    return {viewPoint, Map::kViewWidth, Map::kViewHeight};
}

LevelWindow wholeMap(const Map& map) {
    return {{0, 0}, map.width(), map.height()};
}

PictureSize pictureSize(const LevelWindow& window, int glyphWidth, int glyphHeight) {
    // Each factor is below 2^31, so neither product overflows 64 bits.
    const std::int64_t width = std::int64_t{window.width} * glyphWidth;
    const std::int64_t height = std::int64_t{window.height} * glyphHeight;
    if (width <= 0 || height <= 0) {
        throw Error(
            fmt::format("a picture of {} x {} cells has no pixels", window.width, window.height));
    }
    if (width > kMaxPictureSide || height > kMaxPictureSide || width * height > kMaxPicturePixels) {
        throw Error(fmt::format("a picture of {} x {} cells would be {} x {} pixels, more than "
                                "the {} pixels a side and {} in all that can be drawn",
                                window.width, window.height, width, height, kMaxPictureSide,
                                kMaxPicturePixels));
    }
    return {static_cast<int>(width), static_cast<int>(height)};
}

Console renderLevel(Map& map, const std::vector<logic::EntityInfo>& entities,
                    const LevelWindow& window) {
    Console console(window.width, window.height);
    // The map draws at most a game window at a time, so a larger one is drawn in pieces of
    // that size, each from a cleared console.
    Console piece(Map::kViewWidth, Map::kViewHeight);
    for (int y0 = 0; y0 < window.height; y0 += Map::kViewHeight) {
        for (int x0 = 0; x0 < window.width; x0 += Map::kViewWidth) {
            std::fill(piece.cells.begin(), piece.cells.end(), ConsoleChar{});
            map.render(piece, {util::saturate(std::int64_t{window.viewPoint.x} + x0),
                               util::saturate(std::int64_t{window.viewPoint.y} + y0)});
            console.blit(piece, {x0, y0});
        }
    }
    for (const logic::EntityInfo& info : entities) {
        const std::int64_t x = std::int64_t{info.position.x} - window.viewPoint.x;
        const std::int64_t y = std::int64_t{info.position.y} - window.viewPoint.y;
        if (info.hasLocation && info.hasRender && x >= 0 && x < window.width && y >= 0 &&
            y < window.height) {
            console.setChar(static_cast<int>(x), static_cast<int>(y), info.glyph);
            console.setForeground(static_cast<int>(x), static_cast<int>(y), info.color);
        }
    }
    return console;
}

} // namespace cindra::level
