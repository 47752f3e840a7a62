#include "cindra/LightRayTable.hpp"

#include "cindra/util/Line.hpp"

#include <algorithm>
#include <cassert>
#include <map>
#include <mutex>
#include <unordered_map>
#include <utility>

namespace cindra {

namespace {

// The border targets of the rays, relative to the light, in casting order: the left and
// right columns interleaved from the bottom, then the bottom and top rows from the left.
std::vector<GridPos> rayTargets(int radius) {
    std::vector<GridPos> targets;
    const int diameter = 2 * radius + 1;
    targets.reserve(static_cast<std::size_t>(4 * diameter));
    for (int i = 0; i < diameter; ++i) {
        targets.push_back({-radius, -radius + i});
        targets.push_back({radius, -radius + i});
    }
    for (int i = 0; i < diameter; ++i) {
        targets.push_back({-radius + i, -radius});
        targets.push_back({-radius + i, radius});
    }
    return targets;
}

// One ray as a list of (square index, value) up to the first cell whose value is not above
// zero: past that cell the ray can only cross cells that are already lit, so it changes
// nothing.
std::vector<std::pair<std::int32_t, std::uint8_t>> walkRay(const LightRayTable& table, GridPos from,
                                                           GridPos to, float inverseRadius) {
    std::vector<std::pair<std::int32_t, std::uint8_t>> cells;
    const int r = table.radius();
    util::LineIterator line(from.x, from.y, to.x, to.y);
    line.visit([&](int& x, int& y, float distance) {
        const int v = LightSource::falloffValue(table.falloff(), inverseRadius, distance);
        if (v <= 0) {
            return 1;
        }
        assert(x >= -r && x <= r && y >= -r && y <= r);
        cells.emplace_back((y + r) * table.diameter() + (x + r), static_cast<std::uint8_t>(v));
        return 0;
    });
    return cells;
}

} // namespace

LightRayTable::LightRayTable(int radius, LightSource::Falloff falloff)
    : radius_(radius), falloff_(falloff) {
    for (std::size_t s = 0; s < samples_.size(); ++s) {
        buildSample(samples_[s], kSampleOffsets[s]);
    }
}

void LightRayTable::buildSample(Sample& sample, GridPos offset) const {
    const float inverseRadius = 1.0f / static_cast<float>(radius_);
    const auto squareCells = static_cast<std::int64_t>(diameter()) * diameter();
    // Child lookup of the ray tree: (parent node, cell) -> node.
    std::unordered_map<std::int64_t, std::int32_t> children;
    for (GridPos target : rayTargets(radius_)) {
        std::int32_t node = -1;
        std::size_t i = 0;
        const auto cells = walkRay(*this, offset, target, inverseRadius);
        for (; i < cells.size(); ++i) {
            const auto found = children.find((node + 1) * squareCells + cells[i].first);
            if (found == children.end()) {
                break;
            }
            node = found->second;
        }
        if (i == cells.size()) {
            continue; // the whole ray follows earlier ones
        }
        Ray ray{node, static_cast<std::int32_t>(sample.cells.size()), 0};
        for (; i < cells.size(); ++i) {
            const auto added = static_cast<std::int32_t>(sample.cells.size());
            children.emplace((node + 1) * squareCells + cells[i].first, added);
            sample.cells.push_back(cells[i].first);
            sample.values.push_back(cells[i].second);
            node = added;
        }
        ray.end = static_cast<std::int32_t>(sample.cells.size());
        sample.rays.push_back(ray);
    }
    sample.openResult.assign(static_cast<std::size_t>(squareCells), 0);
    const std::vector<std::uint8_t> noStops(static_cast<std::size_t>(squareCells), 0);
    std::vector<std::uint8_t> reached(sample.cells.size());
    const auto index = static_cast<int>(&sample - samples_.data());
    cast(index, noStops.data(), sample.openResult.data(), reached.data());
}

void LightRayTable::cast(int sampleIndex, const std::uint8_t* stop, std::uint8_t* scratch,
                         std::uint8_t* reached) const {
    const Sample& sample = samples_[static_cast<std::size_t>(sampleIndex)];
    const std::int32_t* cells = sample.cells.data();
    const std::uint8_t* values = sample.values.data();
    for (const Ray& ray : sample.rays) {
        // A ray whose shared start was stopped is stopped there too.
        if (ray.parent >= 0 && reached[ray.parent] == 0) {
            std::fill(reached + ray.begin, reached + ray.end, std::uint8_t{0});
            continue;
        }
        std::int32_t n = ray.begin;
        for (; n < ray.end; ++n) {
            const std::int32_t cell = cells[n];
            if (stop[cell] != 0) {
                break;
            }
            if (scratch[cell] == 0) {
                scratch[cell] = values[n];
            }
            reached[n] = 1;
        }
        std::fill(reached + n, reached + ray.end, std::uint8_t{0});
    }
}

std::size_t LightRayTable::maxNodes() const {
    std::size_t most = 0;
    for (const Sample& sample : samples_) {
        most = std::max(most, sample.cells.size());
    }
    return most;
}

std::size_t LightRayTable::totalNodes() const {
    std::size_t total = 0;
    for (const Sample& sample : samples_) {
        total += sample.cells.size();
    }
    return total;
}

std::shared_ptr<const LightRayTable> LightRayTable::get(int radius, LightSource::Falloff falloff) {
    static std::mutex mutex;
    static std::map<std::pair<int, int>, std::weak_ptr<const LightRayTable>> cache;
    const std::lock_guard lock(mutex);
    auto& slot = cache[{radius, static_cast<int>(falloff)}];
    if (auto table = slot.lock()) {
        return table;
    }
    auto table = std::make_shared<const LightRayTable>(radius, falloff);
    slot = table;
    return table;
}

} // namespace cindra
