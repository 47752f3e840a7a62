// Precomputed light rays for one radius and falloff. The rays a light casts from each of its
// nine sample points, and the intensity each ray gives each cell it crosses, depend only on
// the radius and falloff; only where rays stop depends on the map. So the rays are walked
// once, merged into a tree where they share their first cells, and replayed against a map.
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
    // Tables grow with the cube of the radius (2.6 MB at 64); larger lights cast directly.
    static constexpr int kMaxRadius = 64;
    // Entries of the lit array that cast works on: kStop for a cell that stops rays (opaque,
    // or outside the map), below every key so that it stays; kUnlit, above every key, for
    // the other cells before any ray reaches them.
    static constexpr std::uint32_t kStop = 0;
    static constexpr std::uint32_t kUnlit = 0xFFFFFFFFu;

    // The shared table for radius (1..kMaxRadius) and falloff: built on first use, kept
    // while any light holds it.
    static std::shared_ptr<const LightRayTable> get(int radius, LightSource::Falloff falloff);

    LightRayTable(int radius, LightSource::Falloff falloff);

    int radius() const { return radius_; }
    LightSource::Falloff falloff() const { return falloff_; }
    int diameter() const { return 2 * radius_ + 1; }

    // Per-cell buffers of a light's calculation hold a whole number of blocks of cells, so
    // that loops over them can work block by block (which compilers turn into vector code).
    static constexpr std::size_t kBlock = 16;
    std::size_t paddedCells() const {
        const auto cells = static_cast<std::size_t>(diameter()) * diameter();
        return (cells + kBlock - 1) / kBlock * kBlock;
    }

    // Casts the rays of one sample. Cells are indices into the lit square, row-major. lit
    // holds per cell kStop, or the smallest key of a node that reached it: set it to kStop
    // and kUnlit once, then cast the samples in ascending order. Every sample's keys lie
    // below those of the samples before it, so its rays replace what earlier samples left;
    // valueOf reads a sample's value back.
    void cast(int sample, std::uint32_t* lit) const;
    static constexpr std::uint32_t sampleTag(int sample) {
        return static_cast<std::uint32_t>(9 - sample);
    }
    // The value that sample gave the cell whose lit entry is key, or 0.
    static constexpr std::uint32_t valueOf(std::uint32_t key, int sample) {
        return key >> 24 == sampleTag(sample) ? key & 0xFFu : 0u;
    }
    // Casts the rays of the sample at offset from the light one by one, without a table (for
    // radii above kMaxRadius). Rays stop where lit is kStop; scratch must be all zero on
    // entry and gets each cell's value from the first ray that reaches it.
    static void castDirect(int radius, LightSource::Falloff falloff, GridPos offset,
                           const std::uint32_t* lit, std::uint8_t* scratch);
    // The targets of a light's rays relative to the light, in casting order: on the border of
    // its lit square, left and right columns from the bottom, then bottom and top rows from
    // the left (corners come twice).
    static std::vector<GridPos> rayTargets(int radius);

    // valueOf per cell after cast when nothing stops a ray (paddedCells entries).
    const std::vector<std::uint32_t>& openResult(int sample) const {
        return samples_[static_cast<std::size_t>(sample)].openResult;
    }
    // Cells in the ray trees of all samples (a measure of the table's size).
    std::size_t totalNodes() const;

private:
    // One sample's ray tree in depth-first order. A node is one cell of one or more rays
    // that share the path to it, with key = (9 - sample) << 24 | (index of the first ray
    // through it) << 8 | value. skip is the index after the node's subtree: where to go on
    // when the cell stops rays. Among the reached nodes of a cell, the smallest key holds the
    // value of the first ray to reach it (the tree's order is not the rays' order).
    struct Sample {
        std::vector<std::int32_t> cells;
        std::vector<std::uint32_t> keys;
        std::vector<std::int32_t> skips;
        std::vector<std::uint32_t> openResult;
    };
    // The tree while it is built: each node's parent (-1 for a root), in creation order.
    struct Tree {
        std::vector<std::int32_t> parents;
        std::vector<std::int32_t> cells;
        std::vector<std::uint32_t> keys;
    };

    Tree buildTree(GridPos offset, std::uint32_t tag) const;
    static void storeDepthFirst(const Tree& tree, Sample& sample);

    int radius_;
    LightSource::Falloff falloff_;
    std::array<Sample, 9> samples_;
};

} // namespace cindra
