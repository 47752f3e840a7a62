#include "cindra/LightRayTable.hpp"

#include "cindra/util/Line.hpp"

#include <algorithm>
#include <cassert>
#include <map>
#include <mutex>
#include <utility>

namespace cindra {

namespace {

// One ray as (square index, value) pairs up to the first cell whose value is not above zero:
// past that cell the ray can only cross cells that are already lit, so it changes nothing.
// The cells of every ray lie in the lit square, since samples and targets do.
std::vector<std::pair<std::int32_t, std::uint8_t>> walkRay(const LightRayTable& table, GridPos from,
                                                           GridPos to) {
    std::vector<std::pair<std::int32_t, std::uint8_t>> cells;
    const int r = table.radius();
    const float inverseRadius = 1.0f / static_cast<float>(r);
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

// The children of each node in creation order, as compressed rows: the children of node n
// are children[first[n]] up to children[first[n + 1]]; the roots are listed under n = count.
struct ChildLists {
    std::vector<std::int32_t> first;
    std::vector<std::int32_t> children;
};

ChildLists childLists(const std::vector<std::int32_t>& parents) {
    const auto count = static_cast<std::int32_t>(parents.size());
    auto row = [count](std::int32_t parent) {
        return static_cast<std::size_t>(parent < 0 ? count : parent);
    };
    ChildLists lists{std::vector<std::int32_t>(static_cast<std::size_t>(count) + 2, 0),
                     std::vector<std::int32_t>(static_cast<std::size_t>(count))};
    for (std::int32_t parent : parents) {
        ++lists.first[row(parent) + 1];
    }
    for (std::size_t i = 1; i < lists.first.size(); ++i) {
        lists.first[i] += lists.first[i - 1];
    }
    std::vector<std::int32_t> filled(lists.first.begin(), lists.first.end() - 1);
    for (std::int32_t node = 0; node < count; ++node) {
        const std::int32_t slot = filled[row(parents[static_cast<std::size_t>(node)])]++;
        lists.children[static_cast<std::size_t>(slot)] = node;
    }
    return lists;
}

} // namespace

std::vector<GridPos> LightRayTable::rayTargets(int radius) {
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

void LightRayTable::castDirect(int radius, LightSource::Falloff falloff, GridPos offset,
                               const std::uint32_t* lit, std::uint8_t* scratch) {
    const float inverseRadius = 1.0f / static_cast<float>(radius);
    const int diameter = 2 * radius + 1;
    for (GridPos target : rayTargets(radius)) {
        util::LineIterator line(offset.x, offset.y, target.x, target.y);
        line.visit([&](int& x, int& y, float distance) {
            const auto cell = static_cast<std::size_t>((y + radius) * diameter + (x + radius));
            if (lit[cell] == kStop) {
                return 1;
            }
            if (scratch[cell] != 0) {
                return 0;
            }
            const int v = LightSource::falloffValue(falloff, inverseRadius, distance);
            if (v <= 0) {
                return 1;
            }
            scratch[cell] = static_cast<std::uint8_t>(v);
            return 0;
        });
    }
}

LightRayTable::LightRayTable(int radius, LightSource::Falloff falloff)
    : radius_(radius), falloff_(falloff) {
    const auto squareCells = static_cast<std::size_t>(diameter()) * diameter();
    std::vector<std::uint32_t> lit(squareCells);
    for (std::size_t s = 0; s < samples_.size(); ++s) {
        storeDepthFirst(buildTree(kSampleOffsets[s], sampleTag(static_cast<int>(s))), samples_[s]);
        std::fill(lit.begin(), lit.end(), kUnlit);
        cast(static_cast<int>(s), lit.data());
        samples_[s].openResult.assign(paddedCells(), 0);
        std::transform(lit.begin(), lit.end(), samples_[s].openResult.begin(),
                       [s](std::uint32_t key) { return valueOf(key, static_cast<int>(s)); });
    }
}

// Each ray continues the longest start it shares with one of the last two rays: rays to
// neighbouring targets on the same side of the square come two apart and share most of
// their cells. (A start shared with an older ray gets nodes of its own; that costs a little
// room, not exactness: the smallest key still wins.)
LightRayTable::Tree LightRayTable::buildTree(GridPos offset, std::uint32_t tag) const {
    struct Path {
        std::vector<std::pair<std::int32_t, std::uint8_t>> cells;
        std::vector<std::int32_t> nodes;
    };
    Tree tree;
    std::array<Path, 2> recent;
    std::uint32_t rayIndex = 0;
    for (GridPos target : rayTargets(radius_)) {
        Path path{walkRay(*this, offset, target), {}};
        const Path* best = &recent[0];
        std::size_t shared = 0;
        for (const Path& other : recent) {
            std::size_t k = 0;
            while (k < other.cells.size() && k < path.cells.size() &&
                   other.cells[k].first == path.cells[k].first) {
                ++k;
            }
            if (k > shared) {
                shared = k;
                best = &other;
            }
        }
        path.nodes.assign(best->nodes.begin(),
                          best->nodes.begin() + static_cast<std::ptrdiff_t>(shared));
        for (std::size_t i = shared; i < path.cells.size(); ++i) {
            tree.parents.push_back(i > 0 ? path.nodes.back() : -1);
            tree.cells.push_back(path.cells[i].first);
            tree.keys.push_back(tag << 24 | rayIndex << 8 | path.cells[i].second);
            path.nodes.push_back(static_cast<std::int32_t>(tree.cells.size() - 1));
        }
        recent[rayIndex++ % recent.size()] = std::move(path);
    }
    return tree;
}

void LightRayTable::storeDepthFirst(const Tree& tree, Sample& sample) {
    const auto count = static_cast<std::int32_t>(tree.cells.size());
    const ChildLists lists = childLists(tree.parents);
    sample.cells.resize(static_cast<std::size_t>(count));
    sample.keys.resize(static_cast<std::size_t>(count));
    sample.skips.resize(static_cast<std::size_t>(count));
    // Iterative depth-first walk: a node's skip is known once its subtree is written.
    std::vector<std::pair<std::int32_t, std::int32_t>> stack; // (node, written position)
    std::int32_t written = 0;
    auto push = [&](std::int32_t node) {
        const auto at = static_cast<std::size_t>(written);
        sample.cells[at] = tree.cells[static_cast<std::size_t>(node)];
        sample.keys[at] = tree.keys[static_cast<std::size_t>(node)];
        stack.emplace_back(node, written++);
    };
    std::vector<std::int32_t> nextChild(lists.first.begin(), lists.first.end() - 1);
    for (std::int32_t i = lists.first[count]; i < lists.first[count + 1]; ++i) {
        push(lists.children[static_cast<std::size_t>(i)]);
        while (!stack.empty()) {
            const auto [node, position] = stack.back();
            if (nextChild[node] < lists.first[node + 1]) {
                push(lists.children[static_cast<std::size_t>(nextChild[node]++)]);
                continue;
            }
            sample.skips[static_cast<std::size_t>(position)] = written;
            stack.pop_back();
        }
    }
}

void LightRayTable::cast(int sampleIndex, std::uint32_t* lit) const {
    const Sample& sample = samples_[static_cast<std::size_t>(sampleIndex)];
    const std::int32_t* cells = sample.cells.data();
    const std::uint32_t* keys = sample.keys.data();
    const std::int32_t* skips = sample.skips.data();
    const auto count = static_cast<std::int32_t>(sample.cells.size());
    std::int32_t node = 0;
    while (node < count) {
        const std::int32_t cell = cells[node];
        const std::uint32_t old = lit[cell];
        if (old == kStop) {
            node = skips[node]; // every ray through this cell stops here
            continue;
        }
        lit[cell] = std::min(old, keys[node]);
        ++node;
    }
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
