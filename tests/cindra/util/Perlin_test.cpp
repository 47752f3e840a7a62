#include "cindra/util/Perlin.hpp"

#include "cindra/Error.hpp"
#include "cindra/util/Crc32.hpp"
#include "cindra/util/Random.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <numbers>
#include <set>
#include <string_view>
#include <vector>

// The expectations below add products in single precision; fused multiply-adds would round
// them differently from the code under test (see Perlin.cpp).
#if defined(__clang__)
#pragma STDC FP_CONTRACT OFF
#elif defined(__GNUC__)
#pragma GCC optimize("fp-contract=off")
#endif

using cindra::util::MultiLevelNoise1D;
using cindra::util::PerlinNoise;
using cindra::util::Random;
using cindra::util::StepwiseNoise;

namespace {

using Sampler = float (*)(const PerlinNoise&, float, float, float);
constexpr Sampler kNoise1D = [](const PerlinNoise& n, float x, float, float) {
    return n.noise1D(x);
};
constexpr Sampler kNoise2D = [](const PerlinNoise& n, float x, float y, float) {
    return n.noise2D(x, y);
};
constexpr Sampler kNoise3D = [](const PerlinNoise& n, float x, float y, float z) {
    return n.noise3D(x, y, z);
};
constexpr Sampler kSimplex2D = [](const PerlinNoise& n, float x, float y, float) {
    return n.simplex2D(x, y);
};
constexpr Sampler kSimplex3D = [](const PerlinNoise& n, float x, float y, float z) {
    return n.simplex3D(x, y, z);
};

struct Sample {
    Sampler sampler;
    float x, y, z;
    float expected;
};

// Derived without this code: a Python model of the algorithms as written, with every
// single-precision operation done in double and rounded to float32 (exact for +, - and *
// of float32 operands, as 53 >= 2 * 24 + 2), floor as round-half-even of float32(v - 0.5),
// the simplex corner order taken from coordinate ranks rather than the branch tree, the
// permutation from the published 2002 listing and the gradients from the KISS step with the
// sines evaluated by mpmath at 60 digits. As in the published simplex code, t^4 is
// (t * t) * (t * t); the two-dimensional simplex sum and its factor 70 are in double. Some
// points put two of the three simplex coordinates on a tie, where the corner order must
// favour x, then y.
const Sample kSamples[] = {
    {kNoise1D, 0.25f, 0.0f, 0.0f, -0x1.88ba9p-4f},
    {kNoise1D, 0.5f, 0.0f, 0.0f, -0x1.6fea8cp-3f},
    {kNoise1D, 1.75f, 0.0f, 0.0f, -0x1.e2c9bp-4f},
    {kNoise1D, 3.3f, 0.0f, 0.0f, 0x1.20b432p-6f},
    {kNoise1D, -0.25f, 0.0f, 0.0f, 0x1.4370f8p-6f},
    {kNoise1D, -7.6f, 0.0f, 0.0f, 0x1.4f54e2p-5f},
    {kNoise1D, 10.1f, 0.0f, 0.0f, 0x1.6d6b4p-6f},
    {kNoise1D, 100.37f, 0.0f, 0.0f, -0x1.4070fcp-5f},
    {kNoise1D, 255.9f, 0.0f, 0.0f, 0x1.78f7a2p-6f},
    {kNoise1D, 256.1f, 0.0f, 0.0f, -0x1.f4c716p-6f},
    {kNoise1D, -1000.125f, 0.0f, 0.0f, 0x1.5d62fep-7f},
    {kNoise1D, 12345.678f, 0.0f, 0.0f, -0x1.d6973ep-4f},
    {kNoise2D, 0.25f, 0.75f, 0.0f, -0x1.228b8cp-2f},
    {kNoise2D, 0.5f, 0.5f, 0.0f, -0x1.04561cp-2f},
    {kNoise2D, 1.75f, -2.2f, 0.0f, -0x1.18c50cp-5f},
    {kNoise2D, 3.3f, 4.4f, 0.0f, 0x1.baf594p-3f},
    {kNoise2D, -0.25f, -0.3f, 0.0f, 0x1.e4994ap-4f},
    {kNoise2D, -7.6f, 12.9f, 0.0f, -0x1.c3682ap-6f},
    {kNoise2D, 10.1f, 0.01f, 0.0f, 0x1.3f949ep-5f},
    {kNoise2D, 100.37f, -55.5f, 0.0f, -0x1.3b3328p-3f},
    {kNoise2D, 255.9f, 200.3f, 0.0f, 0x1.d8c8b4p-3f},
    {kNoise2D, 256.1f, -256.1f, 0.0f, 0x1.96a184p-4f},
    {kNoise2D, -1000.125f, 33.3f, 0.0f, 0x1.203d4cp-4f},
    {kNoise2D, 12345.678f, -4321.5f, 0.0f, -0x1.80761p-5f},
    {kNoise3D, 3.14f, 42.0f, 7.0f, 0x1.8c9012p-4f},
    {kNoise3D, 0.25f, 0.5f, 0.75f, -0x1.8696e8p-3f},
    {kNoise3D, -0.25f, 1.5f, -2.7f, -0x1.3a10c8p-2f},
    {kNoise3D, 10.1f, -3.3f, 5.5f, -0x1.f7e512p-4f},
    {kNoise3D, 255.9f, 0.1f, -0.1f, -0x1.3032a4p-3f},
    {kNoise3D, -100.6f, 7.25f, 300.4f, -0x1.b887e8p-3f},
    {kNoise3D, 1.1f, 2.2f, 3.3f, 0x1.48cd4ep-6f},
    {kNoise3D, -7.6f, -8.7f, -9.8f, -0x1.9024bcp-2f},
    {kNoise3D, 0.9f, 0.1f, 0.5f, -0x1.a803f6p-2f},
    {kNoise3D, 4321.25f, -17.3f, 0.6f, -0x1.ac8562p-5f},
    {kNoise3D, 0.33f, 0.66f, 0.99f, -0x1.ed4b4p-3f},
    {kNoise3D, -2.5f, 2.25f, -2.125f, -0x1.dc4464p-4f},
    {kSimplex2D, 0.25f, 0.75f, 0.0f, -0x1.99992cp-8f},
    {kSimplex2D, 0.5f, 0.5f, 0.0f, -0x1.3a873cp-2f},
    {kSimplex2D, 1.75f, -2.2f, 0.0f, -0x1.09b322p-2f},
    {kSimplex2D, 3.3f, 4.4f, 0.0f, 0x1.704588p-2f},
    {kSimplex2D, -0.25f, -0.3f, 0.0f, -0x1.f49a4cp-3f},
    {kSimplex2D, -7.6f, 12.9f, 0.0f, 0x1.c40bc8p-2f},
    {kSimplex2D, 10.1f, 0.01f, 0.0f, -0x1.1842ap-2f},
    {kSimplex2D, 100.37f, -55.5f, 0.0f, 0x1.12e72ep-1f},
    {kSimplex2D, 255.9f, 200.3f, 0.0f, 0x1.09917ap-2f},
    {kSimplex2D, 256.1f, -256.1f, 0.0f, -0x1.7c8634p-1f},
    {kSimplex2D, -1000.125f, 33.3f, 0.0f, 0x1.8846c8p-5f},
    {kSimplex2D, 12345.678f, -4321.5f, 0.0f, -0x1.5f1ae8p-1f},
    {kSimplex2D, -19.26f, -5.78f, 0.0f, -0x1.b54bccp-3f},
    {kSimplex2D, 0.3f, 0.3f, 0.0f, -0x1.1d6e8ap-2f},
    {kSimplex2D, -1.6f, -1.6f, 0.0f, -0x1.c25122p-2f},
    {kSimplex3D, 3.14f, 42.0f, 7.0f, 0x1.e79dp-5f},
    {kSimplex3D, 0.25f, 0.5f, 0.75f, 0x1.ee027cp-2f},
    {kSimplex3D, -0.25f, 1.5f, -2.7f, 0x1.c6f88cp-1f},
    {kSimplex3D, 10.1f, -3.3f, 5.5f, -0x1.969482p-2f},
    {kSimplex3D, 255.9f, 0.1f, -0.1f, -0x1.c3ce46p-2f},
    {kSimplex3D, -100.6f, 7.25f, 300.4f, 0x1.1d19e4p-1f},
    {kSimplex3D, 1.1f, 2.2f, 3.3f, 0x1.b8ec02p-1f},
    {kSimplex3D, -7.6f, -8.7f, -9.8f, -0x1.6017ep-1f},
    {kSimplex3D, 0.9f, 0.1f, 0.5f, 0x1.9a9288p-4f},
    {kSimplex3D, 4321.25f, -17.3f, 0.6f, 0x1.e39cb8p-7f},
    {kSimplex3D, 0.33f, 0.66f, 0.99f, 0x1.2b58ap-3f},
    {kSimplex3D, -2.5f, 2.25f, -2.125f, 0x1.5b60f2p-3f},
    {kSimplex3D, 0.3f, 0.3f, 0.1f, 0x1.27444p-1f},
    {kSimplex3D, 1.7f, 1.7f, 1.2f, 0x1.19a706p-2f},
    {kSimplex3D, -2.4f, 0.5f, 0.5f, -0x1.8d0fb4p-2f},
};

std::uint32_t bits(float v) {
    return std::bit_cast<std::uint32_t>(v);
}

} // namespace

TEST(PerlinNoise, PermutationIsThePublishedReferenceTwice) {
    const auto& p = PerlinNoise::p;
    std::vector<int> sorted(p.begin(), p.begin() + 256);
    std::sort(sorted.begin(), sorted.end());
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(sorted[i], i);
        EXPECT_EQ(p[i], p[i + 256]);
    }
    EXPECT_EQ((std::vector<int>(p.begin(), p.begin() + 6)),
              (std::vector<int>{151, 160, 137, 91, 90, 15}));
    EXPECT_EQ((std::vector<int>(p.begin() + 253, p.begin() + 256)),
              (std::vector<int>{61, 156, 180}));
    // CRC-32 of the 256 bytes of the published listing, computed with Python's zlib.crc32.
    const std::string_view bytes(reinterpret_cast<const char*>(p.data()), 256);
    EXPECT_EQ(cindra::util::crc32(bytes), 0x249d1776u);
}

TEST(PerlinNoise, GradientsComeFromTheFixedKissStateInEveryObject) {
    // The KISS step written out again, and the sine taken in long double.
    std::uint32_t x = 1, y = 2, z = 4, w = 8, c = 0;
    std::vector<float> expected;
    for (int i = 0; i < 256; ++i) {
        x = 69069u * x + 1u;
        y ^= y << 13;
        y ^= y >> 17;
        y ^= y << 5;
        const std::uint32_t k = (z >> 2) + (w >> 3) + (c >> 2);
        const std::uint32_t m = 2u * w + z + c;
        z = w;
        w = m;
        c = k >> 30;
        const auto r = static_cast<std::int32_t>(x + y + w);
        const long double turn = r / 4294967296.0L + 0.5L + 1.0L / 8589934592.0L;
        expected.push_back(
            static_cast<float>(std::sin(turn * 2 * std::numbers::pi_v<long double>)));
    }
    const PerlinNoise first;
    Random::shared().next(); // the shared generator has no say
    const PerlinNoise second;
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(bits(first.gradients()[i]), bits(expected[i])) << i;
        EXPECT_EQ(bits(second.gradients()[i]), bits(expected[i])) << i;
    }
}

TEST(PerlinNoise, MatchesIndependentlyDerivedValuesBitForBit) {
    const PerlinNoise noise;
    const PerlinNoise other;
    for (const Sample& s : kSamples) {
        const float value = s.sampler(noise, s.x, s.y, s.z);
        EXPECT_EQ(bits(value), bits(s.expected))
            << "at (" << s.x << ", " << s.y << ", " << s.z << "): " << value;
        EXPECT_EQ(bits(s.sampler(other, s.x, s.y, s.z)), bits(value));
    }
}

TEST(PerlinNoise, ThreeDimensionsAgreeWithPerlinsPublishedValue) {
    // The Java reference prints noise(3.14, 42, 7) = 0.13691995878400012 in double precision.
    EXPECT_NEAR(PerlinNoise().noise3D(3.14f, 42.0f, 7.0f), 0.13691995878400012 * 0.70710677, 1e-6);
}

TEST(PerlinNoise, GradientNoiseVanishesOnTheLattice) {
    const PerlinNoise noise;
    // The floor rule puts odd integers such as 3 in the cell below, with fraction 1.
    for (int i = -600; i <= 600; ++i) {
        const auto v = static_cast<float>(i);
        EXPECT_EQ(noise.noise1D(v), 0.0f) << i;
        EXPECT_EQ(noise.noise2D(v, static_cast<float>(i * 7 % 513)), 0.0f) << i;
        EXPECT_EQ(noise.noise3D(v, static_cast<float>(i % 17), -3.0f), 0.0f) << i;
    }
    for (const float big : {16777216.0f, -16777216.0f, 1.0e9f, 8388609.0f}) {
        EXPECT_EQ(noise.noise1D(big), 0.0f) << big;
    }
    // The first simplex corner has offset zero; the other two lie beyond radius 0.5.
    EXPECT_EQ(noise.simplex2D(0.0f, 0.0f), 0.0f);
}

TEST(PerlinNoise, RepeatsWithPeriod256AlongEveryAxis) {
    const PerlinNoise noise;
    for (const float a : {0.25f, 0.5f, 1.75f, -3.125f, 100.0625f, -255.5f, 511.875f}) {
        for (const float b : {0.375f, -7.5f, 42.25f}) {
            EXPECT_EQ(noise.noise1D(a + 256.0f), noise.noise1D(a)) << a;
            EXPECT_EQ(noise.noise2D(a + 256.0f, b), noise.noise2D(a, b)) << a << ", " << b;
            EXPECT_EQ(noise.noise2D(b, a - 256.0f), noise.noise2D(b, a)) << b << ", " << a;
            EXPECT_EQ(noise.noise3D(b, b, a + 512.0f), noise.noise3D(b, b, a)) << a;
        }
    }
}

TEST(PerlinNoise, FillAndAddAgreeWithSingleSamples) {
    const PerlinNoise noise;
    constexpr int kCount = 40;
    std::vector<float> out(kCount, 5.0f);
    // Count 0 and negative counts touch nothing.
    for (const int count : {0, -1, -40}) {
        noise.fill1D(count, 0.3f, 0.1f, 2.0f, out.data());
        noise.add1D(count, 0.3f, 0.1f, 2.0f, out.data());
        noise.fillSimplex2D(count, out.data(), 0.5f, 1.0f, 2.0f, out.data());
        noise.addSimplex2D(count, out.data(), 0.5f, 1.0f, 2.0f, out.data());
    }
    EXPECT_EQ(out, std::vector<float>(kCount, 5.0f));

    std::vector<float> coords(kCount);
    for (int i = 0; i < kCount; ++i) {
        coords[i] = static_cast<float>(i) * 0.37f - 3.0f;
    }
    std::vector<float> row(kCount), rowAdded(kCount), simplex(kCount), simplexAdded(kCount);
    noise.fill1D(kCount, -2.3f, 0.1f, 1.5f, row.data());
    rowAdded = row;
    noise.add1D(kCount, -2.3f, 0.1f, 0.5f, rowAdded.data());
    noise.fillSimplex2D(kCount, coords.data(), 1.7f, 0.3f, 2.0f, simplex.data());
    simplexAdded = simplex;
    noise.addSimplex2D(kCount, coords.data(), 1.7f, 0.3f, -1.0f, simplexAdded.data());
    float x = -2.3f; // 0.1 is inexact: the position must accumulate by repeated addition
    for (int i = 0; i < kCount; ++i) {
        EXPECT_EQ(bits(row[i]), bits(noise.noise1D(x) * 1.5f)) << i;
        const float half = noise.noise1D(x) * 0.5f;
        EXPECT_EQ(bits(rowAdded[i]), bits(row[i] + half)) << i;
        const float sample = noise.simplex2D(coords[i] * 0.3f, 1.7f);
        EXPECT_EQ(bits(simplex[i]), bits(sample * 2.0f)) << i;
        const float negated = sample * -1.0f;
        EXPECT_EQ(bits(simplexAdded[i]), bits(simplex[i] + negated)) << i;
        x = x + 0.1f;
    }
}

TEST(PerlinNoise, HelpersFollowTheirFormulas) {
    const PerlinNoise noise;
    EXPECT_EQ(noise.fade(0.0f), 0.0f);
    EXPECT_EQ(noise.fade(0.5f), 0.5f);
    EXPECT_EQ(noise.fade(1.0f), 1.0f);
    EXPECT_EQ(noise.fade(0.25f), 0.103515625f); // 0.25^3 * (6 * 0.25^2 - 15 * 0.25 + 10)
    EXPECT_EQ(noise.lerp(0.25f, 2.0f, 6.0f), 3.0f);
    EXPECT_EQ(noise.lerp(1.0f, -2.0f, 6.0f), 6.0f);
    const auto& g = noise.gradients();
    EXPECT_EQ(noise.grad1(17, 0.5f), g[17] * 0.5f);
    EXPECT_EQ(noise.grad2(17, 1.0f, 2.0f), g[17] * 1.0f + g[PerlinNoise::p[17]] * 2.0f);
    // The Improved Noise gradients at (1, 2, 4) for hash 0..15, from the published rule.
    const float expected[16] = {3, 1, -1, -3, 5, 3, -3, -5, 6, 2, -2, -6, 3, 2, 1, -6};
    for (int h = 0; h < 16; ++h) {
        EXPECT_EQ(noise.grad3(h, 1.0f, 2.0f, 4.0f), expected[h]) << h;
        EXPECT_EQ(cindra::util::grad3(h + 16 * 7, 1.0f, 2.0f, 4.0f), expected[h]) << h;
    }
}

TEST(MultiLevelNoise1D, SumsItsLevelsOverTheBias) {
    const PerlinNoise base;
    MultiLevelNoise1D levels(base, 0.75f);
    EXPECT_EQ(levels.value(1.3f), 0.75f);
    EXPECT_EQ(levels.addLevel(0.5f, 2.0f), 0);
    EXPECT_EQ(levels.addLevel(0.25f, -1.0f), 1);
    EXPECT_EQ(levels.addLevel(4.0f, 0.125f), 2);
    for (const float x : {0.0f, 1.25f, -7.5f, 300.125f}) {
        float sum = 0.75f;
        for (const auto& [f, a] : {std::pair{0.5f, 2.0f}, {0.25f, -1.0f}, {4.0f, 0.125f}}) {
            const float level = base.noise1D(f * x) * a;
            sum = sum + level;
        }
        EXPECT_EQ(bits(levels.value(x)), bits(sum)) << x;
    }
    // Frequencies and x chosen so that f * x + j * f is exact: fill samples x + j.
    std::vector<float> out(8, -9.0f);
    levels.fill(1.25f, out.data(), 8);
    for (int j = 0; j < 8; ++j) {
        EXPECT_EQ(bits(out[j]), bits(levels.value(1.25f + static_cast<float>(j)))) << j;
    }
    // addTo leaves the bias out: starting from it gives fill's result again.
    std::vector<float> added(8, 0.75f);
    levels.addTo(1.25f, added.data(), 8);
    EXPECT_EQ(added, out);
}

TEST(MultiLevelNoise1D, LevelsCanBeRemovedAndReplaced) {
    const PerlinNoise base;
    MultiLevelNoise1D levels(base);
    levels.addLevel(1.0f, 1.0f);
    levels.addLevel(2.0f, 0.5f);
    levels.addLevel(3.0f, 0.25f);
    levels.removeLevel(1);
    EXPECT_EQ(levels.frequencies(), (std::vector<float>{1.0f, 3.0f}));
    EXPECT_EQ(levels.amplitudes(), (std::vector<float>{1.0f, 0.25f}));
    EXPECT_THROW(levels.removeLevel(2), cindra::Error);
    EXPECT_THROW(levels.removeLevel(-1), cindra::Error);

    levels.setFrequencies({0.5f});
    EXPECT_EQ(levels.frequencies(), std::vector<float>{0.5f});
    // Only the first amplitude has a frequency to pair with.
    EXPECT_EQ(levels.value(0.5f), base.noise1D(0.25f) * 1.0f);
    levels.setAmplitudes({});
    EXPECT_EQ(levels.value(0.5f), 0.0f);
    std::vector<float> out(3, 1.0f);
    levels.fill(0.5f, out.data(), 0);
    EXPECT_EQ(out, std::vector<float>(3, 1.0f));
}

TEST(StepwiseNoise, HashesSeedPlusArgument) {
    struct Case {
        std::uint32_t seed, n, expected;
    };
    // From the hash written out in Python over the published permutation.
    const Case cases[] = {{0, 0, 0xe985c9c7u},
                          {0, 1, 0xd8e5ad79u},
                          {0, 0xFFFFFFFFu, 0x620501dcu},
                          {12345, 7, 0x6fe96005u},
                          {0xFFFFFFFFu, 1, 0xe985c9c7u}};
    for (const Case& c : cases) {
        EXPECT_EQ(StepwiseNoise(c.seed).value(c.n), c.expected) << c.seed << " " << c.n;
    }
    const StepwiseNoise noise(99);
    std::set<std::uint32_t> seen;
    int flipped = 0;
    for (std::uint32_t n = 0; n < 1000; ++n) {
        EXPECT_EQ(noise.value(n), noise.value(n));
        seen.insert(noise.value(n));
        flipped += std::popcount(noise.value(n) ^ noise.value(n + 1));
    }
    EXPECT_GT(seen.size(), 990u);
    // Neighbours share about half their bits, as unrelated words do.
    EXPECT_NEAR(flipped / 1000.0, 16.0, 1.0);
}

TEST(StepwiseNoise, DefaultSeedIsTheSharedGeneratorsNextOutput) {
    Random copy(Random::shared().state());
    const StepwiseNoise noise;
    EXPECT_EQ(noise.seed, copy.next());
    EXPECT_NE(StepwiseNoise().seed, noise.seed);
}
