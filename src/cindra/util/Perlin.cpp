#include "cindra/util/Perlin.hpp"

#include "cindra/Error.hpp"
#include "cindra/util/Random.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

#if defined(__SSE__) || defined(_M_X64)
#include <xmmintrin.h>
#endif

// Every noise value is defined bit for bit as a sequence of single-precision operations, each
// rounded. A fused multiply-add rounds a product and a sum once, which changes low bits, and
// both GCC and clang fuse by default wherever the target has FMA (AArch64, or x86-64 built
// with -march=haswell or later). So fusing is off for this file. The same holds for
// -ffast-math (reassociation) and for x87 arithmetic with excess precision: neither may be
// used to build this file.
#if defined(__clang__)
#pragma STDC FP_CONTRACT OFF
#elif defined(__GNUC__)
#pragma GCC optimize("fp-contract=off")
#endif

namespace cindra::util {

namespace {

constexpr std::array<std::uint8_t, 256> kReferencePermutation = {
    151, 160, 137, 91,  90,  15,  131, 13,  201, 95,  96,  53,  194, 233, 7,   225, 140, 36,  103,
    30,  69,  142, 8,   99,  37,  240, 21,  10,  23,  190, 6,   148, 247, 120, 234, 75,  0,   26,
    197, 62,  94,  252, 219, 203, 117, 35,  11,  32,  57,  177, 33,  88,  237, 149, 56,  87,  174,
    20,  125, 136, 171, 168, 68,  175, 74,  165, 71,  134, 139, 48,  27,  166, 77,  146, 158, 231,
    83,  111, 229, 122, 60,  211, 133, 230, 220, 105, 92,  41,  55,  46,  245, 40,  244, 102, 143,
    54,  65,  25,  63,  161, 1,   216, 80,  73,  209, 76,  132, 187, 208, 89,  18,  169, 200, 196,
    135, 130, 116, 188, 159, 86,  164, 100, 109, 198, 173, 186, 3,   64,  52,  217, 226, 250, 124,
    123, 5,   202, 38,  147, 118, 126, 255, 82,  85,  212, 207, 206, 59,  227, 47,  16,  58,  17,
    182, 189, 28,  42,  223, 183, 170, 213, 119, 248, 152, 2,   44,  154, 163, 70,  221, 153, 101,
    155, 167, 43,  172, 9,   129, 22,  39,  253, 19,  98,  108, 110, 79,  113, 224, 232, 178, 185,
    112, 104, 218, 246, 97,  228, 251, 34,  242, 193, 238, 210, 144, 12,  191, 179, 162, 241, 81,
    51,  145, 235, 249, 14,  239, 107, 49,  192, 214, 31,  181, 199, 106, 157, 184, 84,  204, 176,
    115, 121, 50,  45,  127, 4,   150, 254, 138, 236, 205, 93,  222, 114, 67,  29,  24,  72,  243,
    141, 128, 195, 78,  66,  215, 61,  156, 180};

constexpr std::array<std::uint8_t, 512> twice(const std::array<std::uint8_t, 256>& table) {
    std::array<std::uint8_t, 512> result{};
    for (std::size_t i = 0; i < 256; ++i) {
        result[i] = table[i];
        result[i + 256] = table[i];
    }
    return result;
}

} // namespace

const std::array<std::uint8_t, 512> PerlinNoise::p = twice(kReferencePermutation);

namespace {

const std::uint8_t* const perm = PerlinNoise::p.data();

// Brings the gradient noise of one to three dimensions into roughly [-1, 1].
constexpr float kGradientScale = 0.70710677f;

// Skew and unskew factors of the simplex grids: (sqrt(3) - 1) / 2 and (3 - sqrt(3)) / 6 in
// two dimensions, 1/3 and 1/6 in three.
constexpr float kSkew2 = 0.36602542f;
constexpr float kUnskew2 = 0.21132487f;
constexpr float kTwiceUnskew2 = 0.42264974f;
constexpr float kSkew3 = 1.0f / 3.0f;
constexpr float kUnskew3 = 1.0f / 6.0f;
constexpr float kTwiceUnskew3 = 2.0f * kUnskew3;
constexpr float kThriceUnskew3 = 3.0f * kUnskew3;

// The lattice coordinate below v: the nearest integer to v - 0.5 (the subtraction rounded to
// single precision), ties to even under the default rounding mode. That is floor(v) except
// at exact integers, where it may be v - 1 and the fraction v - i is then 1 instead of 0.
// Outside the int range the result is meaningless but defined.
inline int lattice(float v) {
#if defined(__SSE__) || defined(_M_X64)
    return _mm_cvtss_si32(_mm_set_ss(v - 0.5f));
#else
    return static_cast<int>(std::lrintf(v - 0.5f));
#endif
}

inline float fadeOf(float t) {
    return t * t * t * ((t * 6.0f - 15.0f) * t + 10.0f);
}

inline float lerpOf(float t, float a, float b) {
    return (b - a) * t + a;
}

inline float grad2Of(const std::array<float, 2>& pair, float x, float y) {
    return pair[0] * x + pair[1] * y;
}

// permuted[a] is the gradient at lattice index a, gradients[p[a]].
inline float noise1DOf(const float* permuted, float x) {
    const int i = lattice(x);
    const float f = x - static_cast<float>(i);
    const int a = i & 255;
    const float s = fadeOf(f);
    const float g0 = permuted[a] * f;
    const float g1 = permuted[a + 1] * (f - 1.0f);
    return lerpOf(s, g0, g1) * kGradientScale;
}

// One corner's share of two-dimensional simplex noise: (0.5 - r^2)^4 times its gradient.
inline float simplexCorner2(int hash, float x, float y) {
    const float t = 0.5f - x * x - y * y;
    if (t < 0.0f) {
        return 0.0f;
    }
    const float t2 = t * t;
    return t2 * t2 * grad3(hash, x, y, 0.0f);
}

inline float simplex2DOf(float x, float y) {
    const float s = (x + y) * kSkew2;
    const int i = lattice(x + s);
    const int j = lattice(y + s);
    // In 64 bits so that far-away lattice coordinates cannot overflow.
    const float t = static_cast<float>(std::int64_t{i} + j) * kUnskew2;
    const float x0 = x - (static_cast<float>(i) - t);
    const float y0 = y - (static_cast<float>(j) - t);
    const int i1 = x0 > y0 ? 1 : 0;
    const int j1 = 1 - i1;
    const int ii = i & 255;
    const int jj = j & 255;
    const float n0 = simplexCorner2(perm[ii + perm[jj]], x0, y0);
    const float n1 =
        simplexCorner2(perm[ii + i1 + perm[jj + j1]], x0 - static_cast<float>(i1) + kUnskew2,
                       y0 - static_cast<float>(j1) + kUnskew2);
    const float n2 = simplexCorner2(perm[ii + 1 + perm[jj + 1]], x0 - 1.0f + kTwiceUnskew2,
                                    y0 - 1.0f + kTwiceUnskew2);
    return static_cast<float>(70.0 * (static_cast<double>(n0) + n1 + n2));
}

// One corner's share of three-dimensional simplex noise: (0.6 - r^2)^4 times its gradient.
inline float simplexCorner3(int hash, float x, float y, float z) {
    const float t = 0.6f - x * x - y * y - z * z;
    if (t < 0.0f) {
        return 0.0f;
    }
    const float t2 = t * t;
    return t2 * t2 * grad3(hash, x, y, z);
}

// The lattice offsets of the second and third corners of the simplex that holds (x, y, z)
// relative to its first corner; the fourth is always (1, 1, 1).
struct SimplexOffsets {
    int i1, j1, k1;
    int i2, j2, k2;
};

SimplexOffsets simplexOffsets(float x, float y, float z) {
    if (x >= y) {
        if (y >= z) {
            return {1, 0, 0, 1, 1, 0};
        }
        if (x >= z) {
            return {1, 0, 0, 1, 0, 1};
        }
        return {0, 0, 1, 1, 0, 1};
    }
    if (y < z) {
        return {0, 0, 1, 0, 1, 1};
    }
    if (x < z) {
        return {0, 1, 0, 0, 1, 1};
    }
    return {0, 1, 0, 1, 1, 0};
}

// The share of the corner at lattice offset (di, dj, dk) from (i, j, k) masked to the table,
// for a point at (x, y, z) from that corner.
inline float simplexCorner3At(int i, int j, int k, int di, int dj, int dk, float x, float y,
                              float z) {
    return simplexCorner3(perm[i + di + perm[j + dj + perm[k + dk]]], x, y, z);
}

float simplex3DOf(float x, float y, float z) {
    const float s = (x + y + z) * kSkew3;
    const int i = lattice(x + s);
    const int j = lattice(y + s);
    const int k = lattice(z + s);
    const float t = static_cast<float>(std::int64_t{i} + j + k) * kUnskew3;
    const float x0 = x - (static_cast<float>(i) - t);
    const float y0 = y - (static_cast<float>(j) - t);
    const float z0 = z - (static_cast<float>(k) - t);
    const SimplexOffsets o = simplexOffsets(x0, y0, z0);
    const int ii = i & 255;
    const int jj = j & 255;
    const int kk = k & 255;
    auto f = [](int offset) { return static_cast<float>(offset); };
    const float n0 = simplexCorner3At(ii, jj, kk, 0, 0, 0, x0, y0, z0);
    const float n1 = simplexCorner3At(ii, jj, kk, o.i1, o.j1, o.k1, x0 - f(o.i1) + kUnskew3,
                                      y0 - f(o.j1) + kUnskew3, z0 - f(o.k1) + kUnskew3);
    const float n2 = simplexCorner3At(ii, jj, kk, o.i2, o.j2, o.k2, x0 - f(o.i2) + kTwiceUnskew3,
                                      y0 - f(o.j2) + kTwiceUnskew3, z0 - f(o.k2) + kTwiceUnskew3);
    const float n3 = simplexCorner3At(ii, jj, kk, 1, 1, 1, x0 - 1.0f + kThriceUnskew3,
                                      y0 - 1.0f + kThriceUnskew3, z0 - 1.0f + kThriceUnskew3);
    return 32.0f * (n0 + n1 + n2 + n3);
}

} // namespace

PerlinNoise::PerlinNoise() {
    // The private generator restarts from the same state for every object.
    Random random(Random::State{1, 2, 4, 8, 0});
    for (float& gradient : gradients_) {
        const auto r = static_cast<std::int32_t>(random.next());
        // A turn in (0, 1), exact in double; the angle then rounds once.
        const double turn = static_cast<double>(r) * 0x1p-32 + 0.5 + 0x1p-33;
        gradient = static_cast<float>(std::sin(turn * 2.0 * std::numbers::pi));
    }
    for (std::size_t a = 0; a < permuted_.size(); ++a) {
        permuted_[a] = gradients_[p[a]];
    }
    for (std::size_t h = 0; h < pairs_.size(); ++h) {
        pairs_[h] = {gradients_[h], gradients_[p[h]]};
    }
}

float PerlinNoise::noise1D(float x) const {
    return noise1DOf(permuted_.data(), x);
}

void PerlinNoise::fill1D(int count, float x, float step, float amplitude, float* out) const {
    for (int i = 0; i < count; ++i) {
        out[i] = noise1DOf(permuted_.data(), x) * amplitude;
        x = x + step;
    }
}

void PerlinNoise::add1D(int count, float x, float step, float amplitude, float* out) const {
    for (int i = 0; i < count; ++i) {
        out[i] = out[i] + noise1DOf(permuted_.data(), x) * amplitude;
        x = x + step;
    }
}

float PerlinNoise::noise2D(float x, float y) const {
    const std::array<float, 2>* g = pairs_.data();
    const int xi = lattice(x);
    const int yi = lattice(y);
    const float xf = x - static_cast<float>(xi);
    const float yf = y - static_cast<float>(yi);
    const int xm = xi & 255;
    const int ym = yi & 255;
    const float u = fadeOf(xf);
    const float v = fadeOf(yf);
    const int a = perm[xm] + ym;
    const int b = perm[xm + 1] + ym;
    const float x1 = lerpOf(u, grad2Of(g[perm[a]], xf, yf), grad2Of(g[perm[b]], xf - 1.0f, yf));
    const float x2 = lerpOf(u, grad2Of(g[perm[a + 1]], xf, yf - 1.0f),
                            grad2Of(g[perm[b + 1]], xf - 1.0f, yf - 1.0f));
    return lerpOf(v, x1, x2) * kGradientScale;
}

float PerlinNoise::noise3D(float x, float y, float z) const {
    const int xi = lattice(x);
    const int yi = lattice(y);
    const int zi = lattice(z);
    x = x - static_cast<float>(xi);
    y = y - static_cast<float>(yi);
    z = z - static_cast<float>(zi);
    const int xm = xi & 255;
    const int ym = yi & 255;
    const int zm = zi & 255;
    const float u = fadeOf(x);
    const float v = fadeOf(y);
    const float w = fadeOf(z);
    const int a = perm[xm] + ym;
    const int aa = perm[a] + zm;
    const int ab = perm[a + 1] + zm;
    const int b = perm[xm + 1] + ym;
    const int ba = perm[b] + zm;
    const int bb = perm[b + 1] + zm;
    const float x1 = lerpOf(u, util::grad3(perm[aa], x, y, z), util::grad3(perm[ba], x - 1, y, z));
    const float x2 =
        lerpOf(u, util::grad3(perm[ab], x, y - 1, z), util::grad3(perm[bb], x - 1, y - 1, z));
    const float x3 = lerpOf(u, util::grad3(perm[aa + 1], x, y, z - 1),
                            util::grad3(perm[ba + 1], x - 1, y, z - 1));
    const float x4 = lerpOf(u, util::grad3(perm[ab + 1], x, y - 1, z - 1),
                            util::grad3(perm[bb + 1], x - 1, y - 1, z - 1));
    return lerpOf(w, lerpOf(v, x1, x2), lerpOf(v, x3, x4)) * kGradientScale;
}

float PerlinNoise::fade(float t) const {
    return fadeOf(t);
}

float PerlinNoise::lerp(float t, float a, float b) const {
    return lerpOf(t, a, b);
}

float PerlinNoise::grad1(int hash, float x) const {
    return gradients_[hash] * x;
}

float PerlinNoise::grad2(int hash, float x, float y) const {
    return gradients_[hash] * x + gradients_[p[hash]] * y;
}

float PerlinNoise::grad3(int hash, float x, float y, float z) const {
    return util::grad3(hash, x, y, z);
}

float PerlinNoise::simplex2D(float x, float y) const {
    return simplex2DOf(x, y);
}

void PerlinNoise::fillSimplex2D(int count, const float* coords, float y, float scale,
                                float amplitude, float* out) const {
    for (int i = 0; i < count; ++i) {
        out[i] = simplex2DOf(coords[i] * scale, y) * amplitude;
    }
}

void PerlinNoise::addSimplex2D(int count, const float* coords, float y, float scale,
                               float amplitude, float* out) const {
    for (int i = 0; i < count; ++i) {
        out[i] = out[i] + simplex2DOf(coords[i] * scale, y) * amplitude;
    }
}

float PerlinNoise::simplex3D(float x, float y, float z) const {
    return simplex3DOf(x, y, z);
}

int MultiLevelNoise1D::addLevel(float frequency, float amplitude) {
    frequencies_.push_back(frequency);
    amplitudes_.push_back(amplitude);
    return static_cast<int>(frequencies_.size()) - 1;
}

void MultiLevelNoise1D::removeLevel(int index) {
    const auto at = static_cast<std::size_t>(index);
    if (index < 0 || at >= frequencies_.size() || at >= amplitudes_.size()) {
        throw Error("MultiLevelNoise1D: no level " + std::to_string(index));
    }
    frequencies_.erase(frequencies_.begin() + index);
    amplitudes_.erase(amplitudes_.begin() + index);
}

std::size_t MultiLevelNoise1D::levelCount() const {
    return std::min(frequencies_.size(), amplitudes_.size());
}

float MultiLevelNoise1D::value(float x) const {
    float sum = bias;
    for (std::size_t i = 0; i < levelCount(); ++i) {
        sum = sum + base_->noise1D(frequencies_[i] * x) * amplitudes_[i];
    }
    return sum;
}

void MultiLevelNoise1D::addTo(float x, float* out, int count) const {
    for (std::size_t i = 0; i < levelCount(); ++i) {
        base_->add1D(count, frequencies_[i] * x, frequencies_[i], amplitudes_[i], out);
    }
}

void MultiLevelNoise1D::fill(float x, float* out, int count) const {
    for (int j = 0; j < count; ++j) {
        out[j] = bias;
    }
    addTo(x, out, count);
}

StepwiseNoise::StepwiseNoise() : seed(Random::shared().next()) {}

std::uint32_t StepwiseNoise::value(std::uint32_t n) const {
    std::uint32_t v = seed + n;
    v ^= v << 13;
    v = (v * v * 15731u + 789221u) * v + 1376312589u;
    auto entry = [](std::uint32_t byte) { return std::uint32_t{kReferencePermutation[byte]}; };
    return (entry(v & 255u) << 24) + (entry(v >> 24) << 16) + (entry((v >> 16) & 255u) << 8) +
           entry((v >> 8) & 255u);
}

} // namespace cindra::util
