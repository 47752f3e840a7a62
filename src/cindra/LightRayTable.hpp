// Precomputed light rays for one radius and falloff. The rays a light casts from each of its
// nine sample points, and the intensity each ray gives each cell it crosses, depend only on
// the radius and falloff; only where rays stop depends on the map. So the rays are walked
// once, merged where they share their first cells, and replayed against each map.
#pragma once

#include "cindra/LightSource.hpp"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace cindra {

class LightRayTable {
public:
    // Offsets of the nine sample points from the light, in the order they are cast.
    static constexpr std::array<GridPos, 9> kSampleOffsets = {
        {{0, 0}, {-1, 0}, {1, 0}, {0, -1}, {0, 1}, {-1, -1}, {1, -1}, {-1, 1}, {1, 1}}};

    // The shared table for radius and falloff (built on first use; kept while any light
    // holds it).
    static std::shared_ptr<const LightRayTable> get(int radius, LightSource::Falloff falloff);

    LightRayTable(int radius, LightSource::Falloff falloff);

    int radius() const { return radius_; }
    LightSource::Falloff falloff() const { return falloff_; }
    int diameter() const { return 2 * radius_ + 1; }

    // Casts the rays of one sample. Cells are indices into the lit square, row-major;
    // stop[i] != 0 where a ray stops (opaque or outside the map). scratch must be all zero
    // on entry; afterwards it holds each reached cell's value from the first ray to reach
    // it. reached is work space of at least maxNodes() bytes.
    void cast(int sample, const std::uint8_t* stop, std::uint8_t* scratch,
              std::uint8_t* reached) const;
    // What cast gives when no cell of the square stops a ray.
    const std::vector<std::uint8_t>& openResult(int sample) const {
        return samples_[static_cast<std::size_t>(sample)].openResult;
    }
    std::size_t maxNodes() const;
    // Cells visited by the merged rays of every sample (a measure of the table's size).
    std::size_t totalNodes() const;

private:
    // The part of a ray not shared with an earlier ray: nodes [begin, end), the first of
    // which continues node parent (-1 for the very first ray, which starts the tree).
    struct Ray {
        std::int32_t parent;
        std::int32_t begin;
        std::int32_t end;
    };
    struct Sample {
        std::vector<Ray> rays;
        std::vector<std::int32_t> cells;  // per node: index into the lit square
        std::vector<std::uint8_t> values; // per node: the intensity the ray gives it
        std::vector<std::uint8_t> openResult;
    };

    void buildSample(Sample& sample, GridPos offset) const;

    int radius_;
    LightSource::Falloff falloff_;
    std::array<Sample, 9> samples_;
};

} // namespace cindra
