#include "cindra/LightSource.hpp"

#include "cindra/Error.hpp"
#include "cindra/LightRayTable.hpp"
#include "cindra/Map.hpp"
#include "cindra/util/DataReader.hpp"
#include "cindra/util/DataWriter.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace cindra {

namespace {

// Work buffers of calculate, kept between calls so that recalculating allocates nothing.
struct Workspace {
    std::vector<std::uint8_t> stop;
    std::vector<std::uint8_t> scratch;
    std::vector<std::uint16_t> sum;
    std::vector<std::uint8_t> reached;

    void prepare(std::size_t cells, std::size_t nodes) {
        stop.resize(cells);
        scratch.resize(cells);
        sum.assign(cells, 0);
        reached.resize(std::max(reached.size(), nodes));
    }
};

Workspace& workspace() {
    thread_local Workspace instance;
    return instance;
}

// sum / count for sums of up to count * 255, as a multiply and a shift: the multiplier is
// 2^20 / count rounded up, whose error stays far below what would change the quotient.
constexpr std::uint32_t kDivisionShift = 20;
constexpr std::array<std::uint32_t, 10> kDivisionMultiplier = [] {
    std::array<std::uint32_t, 10> m{};
    for (std::uint32_t c = 1; c < m.size(); ++c) {
        m[c] = ((1u << kDivisionShift) + c - 1) / c;
    }
    return m;
}();

constexpr bool divisionIsExact() {
    for (std::uint32_t c = 1; c <= 9; ++c) {
        for (std::uint32_t s = 0; s <= c * 255; ++s) {
            if ((s * kDivisionMultiplier[c]) >> kDivisionShift != s / c) {
                return false;
            }
        }
    }
    return true;
}
static_assert(divisionIsExact());

// Marks every cell of the square that stops a ray: opaque, or outside the map. Returns
// whether no cell does.
bool buildStopMask(const Map& map, int areaX, int areaY, int diameter, std::uint8_t* stop) {
    bool open = true;
    for (int row = 0; row < diameter; ++row) {
        std::uint8_t* out = stop + static_cast<std::ptrdiff_t>(row) * diameter;
        const int y = areaY + row;
        if (y < 0 || y >= map.height()) {
            std::memset(out, 1, static_cast<std::size_t>(diameter));
            open = false;
            continue;
        }
        const MapCell* cells = &map.cells()[static_cast<std::size_t>(y) * map.width()];
        for (int col = 0; col < diameter; ++col) {
            const int x = areaX + col;
            const bool blocks = x < 0 || x >= map.width() || (cells[x].flags & Opaque) != 0;
            out[col] = blocks ? 1 : 0;
            open = open && !blocks;
        }
    }
    return open;
}

} // namespace

LightSource::LightSource(GridPos pos, int radius, Color c, Falloff falloff, int f)
    : position(pos), color(c), fade(f) {
    setRadius(radius);
    setFalloff(falloff);
    needsRecalculation_ = true;
}

LightSource::LightSource(util::DataReader& in) {
    load(in);
    needsRecalculation_ = true;
}

LightSource::~LightSource() = default;

void LightSource::setRadius(int r) {
    if (r < 1 || r > kMaxRadius) {
        throw Error(fmt::format("Light radius {} is outside 1..{}", r, kMaxRadius));
    }
    radius_ = r;
    inverseRadius_ = 1.0f / static_cast<float>(r);
    needsRecalculation_ = true;
}

void LightSource::setFalloff(Falloff f) {
    if (f != Falloff::Linear && f != Falloff::Quadratic) {
        throw Error(fmt::format("Light falloff {} is neither 0 (linear) nor 1 (quadratic)",
                                static_cast<std::int32_t>(f)));
    }
    falloff_ = f;
    needsRecalculation_ = true;
}

std::shared_ptr<LightSource> LightSource::clone() const {
    return std::make_shared<LightSource>(position, radius_, color, falloff_, fade);
}

int LightSource::falloffValue(Falloff falloff, float inverseRadius, float distance) {
    double value;
    if (falloff == Falloff::Linear) {
        value = 255.0 - static_cast<double>(distance) * 256.0 * static_cast<double>(inverseRadius);
    } else {
        const auto t = static_cast<double>(inverseRadius * distance);
        value = 255.0 - t * 256.0 * t;
    }
    return static_cast<int>(std::nearbyint(value));
}

void LightSource::calculate(const Map& map) {
    diameter_ = 2 * radius_ + 1;
    areaX_ = static_cast<std::int64_t>(position.x) - radius_;
    areaY_ = static_cast<std::int64_t>(position.y) - radius_;
    const auto cells = static_cast<std::size_t>(diameter_) * static_cast<std::size_t>(diameter_);
    if (intensity_.size() != cells) {
        intensity_.assign(cells, 0);
    }
    if (!rays_ || rays_->radius() != radius_ || rays_->falloff() != falloff_) {
        rays_ = LightRayTable::get(radius_, falloff_);
    }
    needsRecalculation_ = false;
    if (!map.isInside(position)) {
        return; // no sample can match the flags of a cell that does not exist
    }
    Workspace& ws = workspace();
    ws.prepare(cells, rays_->maxNodes());
    const bool open =
        buildStopMask(map, position.x - radius_, position.y - radius_, diameter_, ws.stop.data());
    const std::uint32_t ownFlags = map.getCell(position).flags;
    std::uint32_t count = 0;
    for (std::size_t s = 0; s < LightRayTable::kSampleOffsets.size(); ++s) {
        const GridPos p = position + LightRayTable::kSampleOffsets[s];
        if (!map.isInside(p) || map.getCell(p).flags != ownFlags) {
            continue;
        }
        if (p.x != position.x && p.y != position.y &&
            ((map.getCell(p.x, position.y).flags & Opaque) != 0 ||
             (map.getCell(position.x, p.y).flags & Opaque) != 0)) {
            continue;
        }
        const std::uint8_t* scratch = rays_->openResult(static_cast<int>(s)).data();
        if (!open) {
            std::fill(ws.scratch.begin(), ws.scratch.end(), std::uint8_t{0});
            rays_->cast(static_cast<int>(s), ws.stop.data(), ws.scratch.data(), ws.reached.data());
            scratch = ws.scratch.data();
        }
        for (std::size_t i = 0; i < cells; ++i) {
            ws.sum[i] = static_cast<std::uint16_t>(ws.sum[i] + scratch[i]);
        }
        ++count;
    }
    if (count > 0) {
        const std::uint32_t multiplier = kDivisionMultiplier[count];
        for (std::size_t i = 0; i < cells; ++i) {
            intensity_[i] = static_cast<std::uint8_t>((ws.sum[i] * multiplier) >> kDivisionShift);
        }
    }
}

void LightSource::addContribution(int x, int y, LightLevel& sum) const {
    int v = 0;
    if (!getIntensity(x, y, v)) {
        return;
    }
    const std::int64_t scaled = (static_cast<std::int64_t>(fade) * v) >> 8;
    sum.red += (color.r * scaled) >> 8;
    sum.green += (color.g * scaled) >> 8;
    sum.blue += (color.b * scaled) >> 8;
}

bool LightSource::coversCell(GridPos p) const {
    return p.x >= areaX_ && p.x < areaX_ + diameter_ && p.y >= areaY_ && p.y < areaY_ + diameter_;
}

bool LightSource::getIntensity(int x, int y, int& value) const {
    if (!coversCell({x, y}) || intensity_.empty()) {
        return false;
    }
    value = intensity_[static_cast<std::size_t>(y - areaY_) * static_cast<std::size_t>(diameter_) +
                       static_cast<std::size_t>(x - areaX_)];
    return true;
}

void LightSource::save(util::DataWriter& out) const {
    out.writeInt32(position.x);
    out.writeInt32(position.y);
    out.writeInt32(radius_);
    out.writeBytes(&color, 4);
    out.writeInt32(fade);
    out.writeInt32(static_cast<std::int32_t>(falloff_));
}

void LightSource::load(util::DataReader& in) {
    position.x = in.readInt32();
    position.y = in.readInt32();
    const std::int32_t radius = in.readInt32();
    in.readBytes(&color, 4);
    fade = in.readInt32();
    const std::int32_t falloff = in.readInt32();
    setRadius(radius);
    setFalloff(static_cast<Falloff>(falloff));
}

} // namespace cindra
