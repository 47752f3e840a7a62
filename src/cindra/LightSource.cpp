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

// Work buffers of calculate, kept between calls so that recalculating allocates nothing.
// They hold LightRayTable::paddedCells entries (whole blocks).
struct LightWorkspace {
    std::vector<std::uint32_t> lit;    // per cell: rays stop there, or the key of its value
    std::vector<std::uint8_t> scratch; // one sample's result (direct casting)
    std::vector<std::uint32_t> sum;    // sum of the samples' results

    void prepare(std::size_t cells) {
        lit.assign(cells, LightRayTable::kStop);
        scratch.resize(cells);
        sum.assign(cells, 0);
    }
};

namespace {

constexpr std::size_t kBlock = LightRayTable::kBlock;

LightWorkspace& workspace() {
    thread_local LightWorkspace instance;
    return instance;
}

// The loops over whole blocks below are written with a fixed inner count, the form that
// compilers vectorize even at moderate optimisation levels.
template <typename T>
void addBlocks(std::uint32_t* __restrict sum, const T* __restrict add, std::size_t cells) {
    for (std::size_t b = 0; b < cells; b += kBlock) {
        std::uint32_t* s = sum + b;
        const T* a = add + b;
        for (std::size_t i = 0; i < kBlock; ++i) {
            s[i] += a[i];
        }
    }
}

// Adds the values that sample left in lit.
void addSampleBlocks(std::uint32_t* __restrict sum, const std::uint32_t* __restrict lit,
                     std::size_t cells, int sample) {
    const std::uint32_t tag = LightRayTable::sampleTag(sample);
    for (std::size_t b = 0; b < cells; b += kBlock) {
        std::uint32_t* s = sum + b;
        const std::uint32_t* l = lit + b;
        for (std::size_t i = 0; i < kBlock; ++i) {
            s[i] += l[i] >> 24 == tag ? l[i] & 0xFFu : 0u;
        }
    }
}

// sum / count for sums of up to count * 255 as a 16-bit multiply keeping the high half: the
// multiplier 2^16 / count rounded up errs by less than 2295 / 2^16 per quotient, too little
// to reach the next integer since a remainder is at most (count - 1) / count.
constexpr std::array<std::uint32_t, 10> kDivisionMultiplier = [] {
    std::array<std::uint32_t, 10> m{};
    for (std::uint32_t c = 2; c < m.size(); ++c) {
        m[c] = (65536u + c - 1) / c;
    }
    return m;
}();

constexpr bool divisionIsExact() {
    for (std::uint32_t c = 2; c <= 9; ++c) {
        for (std::uint32_t s = 0; s <= c * 255; ++s) {
            if ((s * kDivisionMultiplier[c]) >> 16 != s / c) {
                return false;
            }
        }
    }
    return true;
}
static_assert(divisionIsExact());

void divide(std::uint8_t* __restrict out, const std::uint32_t* __restrict sum, std::size_t n,
            std::uint32_t count) {
    // Count 1 keeps the sums: multiplier 65536, which fits the 32-bit product as well.
    const std::uint32_t multiplier = count == 1 ? 65536u : kDivisionMultiplier[count];
    const std::size_t whole = n / kBlock * kBlock;
    for (std::size_t b = 0; b < whole; b += kBlock) {
        std::uint8_t* o = out + b;
        const std::uint32_t* s = sum + b;
        for (std::size_t i = 0; i < kBlock; ++i) {
            o[i] = static_cast<std::uint8_t>((s[i] * multiplier) >> 16);
        }
    }
    for (std::size_t i = whole; i < n; ++i) {
        out[i] = static_cast<std::uint8_t>((sum[i] * multiplier) >> 16);
    }
}

// Marks every cell of the square that stops rays (opaque, or outside the map) with kStop,
// the others with kUnlit. Returns whether no cell stops rays.
bool buildStopMask(const Map& map, int areaX, int areaY, int diameter, std::uint32_t* lit) {
    constexpr std::uint32_t kStop = LightRayTable::kStop;
    constexpr std::uint32_t kUnlit = LightRayTable::kUnlit;
    const int fromCol = std::clamp(-areaX, 0, diameter);
    const int toCol = std::clamp(map.width() - areaX, fromCol, diameter);
    bool open = fromCol == 0 && toCol == diameter;
    for (int row = 0; row < diameter; ++row) {
        std::uint32_t* out = lit + static_cast<std::ptrdiff_t>(row) * diameter;
        const int y = areaY + row;
        if (y < 0 || y >= map.height()) {
            std::fill(out, out + diameter, kStop);
            open = false;
            continue;
        }
        std::fill(out, out + fromCol, kStop);
        std::fill(out + toCol, out + diameter, kStop);
        const MapCell* cells = &map.cells()[static_cast<std::size_t>(y) * map.width()];
        std::uint32_t opaque = 0;
        for (int col = fromCol; col < toCol; ++col) {
            const std::uint32_t flag = cells[areaX + col].flags & CellFlag::Opaque;
            out[col] = flag != 0 ? kStop : kUnlit;
            opaque |= flag;
        }
        open = open && opaque == 0;
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
    const std::size_t padded = (cells + kBlock - 1) / kBlock * kBlock;
    if (intensity_.size() != cells) {
        intensity_.assign(cells, 0);
    }
    if (radius_ > LightRayTable::kMaxRadius) {
        rays_.reset();
    } else if (!rays_ || rays_->radius() != radius_ || rays_->falloff() != falloff_) {
        rays_ = LightRayTable::get(radius_, falloff_);
    }
    needsRecalculation_ = false;
    if (!map.isInside(position)) {
        return; // no sample can match the flags of a cell that does not exist
    }
    LightWorkspace& ws = workspace();
    ws.prepare(padded);
    const bool open =
        buildStopMask(map, position.x - radius_, position.y - radius_, diameter_, ws.lit.data());
    std::uint32_t count = 0;
    for (std::size_t s = 0; s < LightRayTable::kSampleOffsets.size(); ++s) {
        if (sampleCounts(map, LightRayTable::kSampleOffsets[s])) {
            ++count;
            addSample(static_cast<int>(s), open, ws);
        }
    }
    if (count > 0) {
        divide(intensity_.data(), ws.sum.data(), cells, count);
    }
}

// Casts one sample and adds its result to the workspace's sum.
void LightSource::addSample(int sample, bool open, LightWorkspace& ws) const {
    const std::size_t cells = ws.sum.size();
    if (!rays_) {
        std::fill(ws.scratch.begin(), ws.scratch.end(), std::uint8_t{0});
        LightRayTable::castDirect(radius_, falloff_,
                                  LightRayTable::kSampleOffsets[static_cast<std::size_t>(sample)],
                                  ws.lit.data(), ws.scratch.data());
        addBlocks(ws.sum.data(), ws.scratch.data(), cells);
    } else if (open) {
        addBlocks(ws.sum.data(), rays_->openResult(sample).data(), cells);
    } else {
        rays_->cast(sample, ws.lit.data());
        addSampleBlocks(ws.sum.data(), ws.lit.data(), cells, sample);
    }
}

bool LightSource::sampleCounts(const Map& map, GridPos offset) const {
    const GridPos p = position + offset;
    if (!map.isInside(p) || map.getCell(p).flags != map.getCell(position).flags) {
        return false;
    }
    // A diagonal sample sees the light only past the two cells beside both.
    return p.x == position.x || p.y == position.y ||
           ((map.getCell(p.x, position.y).flags & CellFlag::Opaque) == 0 &&
            (map.getCell(position.x, p.y).flags & CellFlag::Opaque) == 0);
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
