// The grid of the current level: cells, light sources, ambient light and named regions. It
// answers bounds and walkability questions, keeps lights up to date when transparency
// changes, grows or crops itself, draws its visible window lit into a console, and is read
// from and written to a map file.
#pragma once

#include "cindra/Console.hpp"
#include "cindra/LightSource.hpp"
#include "cindra/MapFile.hpp"
#include "cindra/Region.hpp"
#include "cindra/Screen.hpp"
#include "cindra/util/Color.hpp"
#include "cindra/util/GridPos.hpp"

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace cindra {

using util::Color;
using util::GridPos;

// The meaningful bits of MapCell::flags (plain 32-bit constants, so that they mix with
// other flag words without casts).
struct CellFlag {
    static constexpr std::uint32_t Blocked = 1; // cannot be walked on
    static constexpr std::uint32_t Opaque = 2;  // blocks light and is not lit by lights
};
// The same bits by their short names.
inline constexpr std::uint32_t Blocked = CellFlag::Blocked;
inline constexpr std::uint32_t Opaque = CellFlag::Opaque;

// One map cell; this 16-byte image is exactly what the map file stores. All zero bytes:
// black on black, glyph 0, walkable and transparent. Flag bits other than Blocked and
// Opaque are kept but mean nothing.
struct MapCell {
    Color foreground;
    Color background;
    std::uint32_t glyph = 0;
    std::uint32_t flags = 0;

    friend bool operator==(const MapCell&, const MapCell&) = default;
};
static_assert(sizeof(MapCell) == 16);
static_assert(offsetof(MapCell, foreground) == 0 && offsetof(MapCell, background) == 4 &&
              offsetof(MapCell, glyph) == 8 && offsetof(MapCell, flags) == 12);

inline bool isTransparent(const MapCell& cell) {
    return (cell.flags & CellFlag::Opaque) == 0;
}
inline bool isWalkable(const MapCell& cell) {
    return (cell.flags & CellFlag::Blocked) == 0;
}

// A named region of a map, with one free-form parameter text for scripts.
struct MapRegion {
    std::string name;
    std::string parameter;
    Region region;
};

class Map {
public:
    // The window that render draws: the size of the main console.
    static constexpr int kViewWidth = kConsoleWidth;
    static constexpr int kViewHeight = kConsoleHeight;

    // An empty map: 0 x 0, no lights, no regions, ambient 0, 0, 0.
    Map() = default;
    // A map of all-zero cells. Refuses negative sizes and more than mapfile::kMaxCells cells.
    Map(int width, int height);

    // Reads the map file fileName: size and cells, and whichever of ambient light, lights
    // and regions it holds (the others keep their values). Chunks the map does not know are
    // offered to handler. Errors are described at mapfile::read; a file that cannot be
    // opened gives "Cannot open map file <name>: <reason>".
    void load(const std::string& fileName, const ChunkHandler& handler = {});
    // The same from an open stream (seekable, e.g. a file or a string stream); fileName is
    // used in messages only.
    void load(std::istream& in, const std::string& fileName, const ChunkHandler& handler = {});
    // Writes the map file (header, CELL, LGHT, AMBI, REGN).
    void save(std::ostream& out) const;

    // No bounds check: (x, y) must be inside.
    MapCell& getCell(int x, int y) { return cells_[index(x, y)]; }
    const MapCell& getCell(int x, int y) const { return cells_[index(x, y)]; }
    MapCell& getCell(GridPos p) { return getCell(p.x, p.y); }
    const MapCell& getCell(GridPos p) const { return getCell(p.x, p.y); }

    bool isInside(int x, int y) const { return x >= 0 && x < width_ && y >= 0 && y < height_; }
    bool isInside(GridPos p) const { return isInside(p.x, p.y); }
    // Inside and not Blocked.
    bool isWalkable(GridPos p) const { return isInside(p) && cindra::isWalkable(getCell(p)); }

    // 256 per channel is full brightness; taken as given, used from the next render.
    void setAmbientLight(int red, int green, int blue);
    const LightLevel& getAmbientLight() const { return ambientLight_; }

    // Both ignore cells outside the map. setTransparent marks every light whose lit square
    // holds the cell, whether or not the flag changed.
    void setWalkable(int x, int y, bool walkable);
    void setTransparent(int x, int y, bool transparent);

    // The first region named exactly name, or null.
    MapRegion* getRegion(std::string_view name);
    const MapRegion* getRegion(std::string_view name) const;

    // Clamps p into the map (for an empty map the result is not inside).
    void clampToMap(GridPos& p) const;

    // Calls visitor(x, y, cell) for every cell, rows from y = 0 up, each row from x = 0.
    // A nonzero return stops the walk and is returned; otherwise 0.
    template <typename Visitor>
    requires std::invocable<Visitor&, int&, int&, MapCell&>
    int visitCells(Visitor&& visitor);

    // Grows (positive) or crops (negative) each side. Old cell (x, y) moves to
    // (x + left, y + top); lights and regions move with the cells; lights that end up
    // outside are removed; the rest are marked. Refuses a resulting size that is negative
    // or above mapfile::kMaxCells cells.
    void resize(int left, int right, int top, int bottom);

    // Draws the 128 x 96 window of map cells starting at offset into console, console cell
    // (sx, sy) showing map cell (sx + offset.x, sy + offset.y). Marked lights are
    // recalculated first. Each channel c lit by the light sum L (ambient plus every light's
    // contribution) draws as 255 when c * L > 65280, else (c * L) >> 8. Console cells
    // outside the map (or beyond the console's own size) are not touched. The glyph and the
    // red, green and blue bytes are written into the console's cells directly, as setChar,
    // setForeground and setBackground would (the fourth colour bytes are kept).
    void render(Console& console, GridPos offset);

    // Appends the light and calculates its light map at once. The map shares ownership.
    void addLight(std::shared_ptr<LightSource> light);
    // Removes that light (the same object) if present, keeping the others' order.
    void removeLight(const LightSource& light);
    // Replaces the light list (the lights are marked for calculation).
    void setLights(std::vector<std::shared_ptr<LightSource>> lights);
    const std::vector<std::shared_ptr<LightSource>>& getLights() const { return lights_; }

    std::vector<MapRegion>& getRegions() { return regions_; }
    const std::vector<MapRegion>& getRegions() const { return regions_; }

    int width() const { return width_; }
    int height() const { return height_; }
    // Row-major: cell (x, y) is element y * width + x.
    const std::vector<MapCell>& cells() const { return cells_; }
    std::vector<MapCell>& cells() { return cells_; }
    // Replaces size and cells at once; cells must hold width * height entries.
    void setCells(int width, int height, std::vector<MapCell> cells);

private:
    std::size_t index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
               static_cast<std::size_t>(x);
    }
    void recalculateMarkedLights();

    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    std::vector<MapCell> cells_;
    LightLevel ambientLight_;
    std::vector<std::shared_ptr<LightSource>> lights_;
    std::vector<MapRegion> regions_;
};

template <typename Visitor>
requires std::invocable<Visitor&, int&, int&, MapCell&>
int Map::visitCells(Visitor&& visitor) {
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            int vx = x;
            int vy = y;
            if (int result = visitor(vx, vy, cells_[index(x, y)]); result != 0) {
                return result;
            }
        }
    }
    return 0;
}

} // namespace cindra
