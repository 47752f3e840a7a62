#include "cindra/level/LevelView.hpp"

namespace cindra::level {

Console renderLevel(Map& map, const std::vector<logic::EntityInfo>& entities) {
    Console console(Map::kViewWidth, Map::kViewHeight);
    map.render(console, {0, 0});
    for (const logic::EntityInfo& info : entities) {
        if (info.hasLocation && info.hasRender && console.isInside(info.position)) {
            console.setChar(info.position.x, info.position.y, info.glyph);
            console.setForeground(info.position.x, info.position.y, info.color);
        }
    }
    return console;
}

} // namespace cindra::level
