// Coloured point lights on the map grid. Each light keeps a light map (one intensity byte
// per cell of the square of side 2 * radius + 1 around it), computed by casting rays from
// nine sample points around the light and averaging them, which softens shadow edges.
#pragma once

#include "cindra/util/Color.hpp"
#include "cindra/util/GridPos.hpp"

#include <cstdint>
#include <memory>
#include <vector>

namespace cindra {

namespace util {
class DataReader;
class DataWriter;
} // namespace util

class Map;
class LightRayTable;
struct LightWorkspace;

using util::Color;
using util::GridPos;

// A light level per colour channel: 256 is full brightness. 64 bits wide so that any
// ambient light plus any number of lights of any fade adds up without overflow.
struct LightLevel {
    std::int64_t red = 0;
    std::int64_t green = 0;
    std::int64_t blue = 0;

    friend bool operator==(const LightLevel&, const LightLevel&) = default;
};

class LightSource {
public:
    enum class Falloff : std::int32_t { Linear = 0, Quadratic = 1 };

    // Radii above this are refused: a light map of 513 x 513 cells is far beyond what a
    // 128 x 96 view shows, and the bound keeps a damaged file from asking for gigabytes.
    static constexpr int kMaxRadius = 256;
    // Bytes of one light record in the map file.
    static constexpr int kRecordSize = 24;

    // Sets radius and falloff through their setters (which refuse bad values with a
    // cindra::Error) and marks the light for calculation.
    LightSource(GridPos position, int radius, Color color, Falloff falloff, int fade = 256);
    // Reads one record (see load) and marks the light.
    explicit LightSource(util::DataReader& in);
    ~LightSource();
    LightSource(const LightSource&) = delete;
    LightSource& operator=(const LightSource&) = delete;

    int getRadius() const { return radius_; }
    // Refuses radii outside 1..kMaxRadius with a cindra::Error; marks the light.
    void setRadius(int r);
    Falloff getFalloff() const { return falloff_; }
    // Refuses values other than Linear and Quadratic with a cindra::Error; marks the light.
    void setFalloff(Falloff f);
    float getInverseRadius() const { return inverseRadius_; }

    // A new light with this one's position, radius, colour, falloff and fade; its light map
    // is not copied (it is marked for calculation).
    std::shared_ptr<LightSource> clone() const;

    // Recomputes the light map against map's cells and clears the mark. A light whose own
    // cell is outside the map keeps its previous light map (every sample is skipped).
    void calculate(const Map& map);

    // Adds this light's share at map cell (x, y) to sum, if the cell is in the lit square:
    // scaled = (fade * intensity) >> 8, then each channel += (colour channel * scaled) >> 8.
    void addContribution(int x, int y, LightLevel& sum) const;
    // Whether p lies in the lit square of the last calculation.
    bool coversCell(GridPos p) const;
    // The light map byte at map cell (x, y); false outside the lit square.
    bool getIntensity(int x, int y, int& value) const;

    // The 24-byte record: x, y, radius, colour (4 bytes), fade, falloff, little-endian.
    void save(util::DataWriter& out) const;
    // Reads a record; a radius or falloff that the setters refuse is an error.
    void load(util::DataReader& in);

    bool needsRecalculation() const { return needsRecalculation_; }
    void markForRecalculation() { needsRecalculation_ = true; }

    // The lit square of the last calculation (its corner with the smallest x and y, and its
    // side) and its intensities, row-major from that corner: diameter * diameter bytes.
    std::int64_t getAreaX() const { return areaX_; }
    std::int64_t getAreaY() const { return areaY_; }
    int getDiameter() const { return diameter_; }
    const std::vector<std::uint8_t>& getIntensities() const { return intensity_; }

    // The falloff of a ray at distance along it, rounded to the nearest integer (ties to
    // even); 255 at distance 0, reaching 0 a little before the radius.
    static int falloffValue(Falloff falloff, float inverseRadius, float distance);

    GridPos position;
    Color color;
    std::int32_t fade = 256;

private:
    // Whether the sample point at offset from the light is cast (the light is inside map).
    bool sampleCounts(const Map& map, GridPos offset) const;
    void addSample(int sample, bool open, LightWorkspace& workspace) const;

    std::int32_t radius_ = 1;
    Falloff falloff_ = Falloff::Linear;
    std::vector<std::uint8_t> intensity_;
    // 64 bits: a light read from a file may stand anywhere, even at the edge of the int range.
    std::int64_t areaX_ = 0;
    std::int64_t areaY_ = 0;
    std::int32_t diameter_ = 0;
    float inverseRadius_ = 1.0f;
    bool needsRecalculation_ = true;
    // The precomputed rays of radius and falloff; none for radii cast directly.
    std::shared_ptr<const LightRayTable> rays_;
};

} // namespace cindra
