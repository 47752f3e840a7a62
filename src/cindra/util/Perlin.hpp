// Smooth pseudo-random values for scripts and procedural content: gradient noise in one to
// three dimensions, simplex noise in two and three, sums of one-dimensional noise at several
// frequencies and a seeded integer hash. Noise values are fixed bit for bit: every object, in
// every run, gives the same single-precision result for the same arguments.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace cindra::util {

// The gradient of Improved Perlin Noise (2002): hash selects one of the twelve cube edge
// directions (four of them twice) and the result is its dot product with (x, y, z).
inline float grad3(int hash, float x, float y, float z) {
    const int h = hash & 15;
    const float u = h < 8 ? x : y;
    const float v = h < 4 ? y : (h == 12 || h == 14 ? x : z);
    return ((h & 1) == 0 ? u : -u) + ((h & 2) == 0 ? v : -v);
}

// Lattice noise over one fixed table of 256 gradients. Results lie roughly in [-1, 1] and
// repeat with period 256 along every axis. Objects are immutable and interchangeable.
//
// The noise, fill and add operations use this class's own fade, lerp and gradients, so an
// override of one of those operations changes that operation alone.
class PerlinNoise {
public:
    // Ken Perlin's reference permutation P written twice: p[i] = p[i + 256] = P[i], so that
    // a hash chain can add a lattice index below 256 to a table entry without wrapping.
    static const std::array<std::uint8_t, 512> p;

    PerlinNoise();
    virtual ~PerlinNoise() = default;
    PerlinNoise(const PerlinNoise&) = default;
    PerlinNoise& operator=(const PerlinNoise&) = default;

    virtual float noise1D(float x) const;
    // out[i] = noise1D(x) * amplitude for i = 0..count-1, x growing by step after each sample
    // (repeated addition, not x + i * step). Writes nothing when count < 1.
    virtual void fill1D(int count, float x, float step, float amplitude, float* out) const;
    // As fill1D, adding to out[i] instead of replacing it.
    virtual void add1D(int count, float x, float step, float amplitude, float* out) const;
    virtual float noise2D(float x, float y) const;
    virtual float noise3D(float x, float y, float z) const;

    // The quintic 6t^5 - 15t^4 + 10t^3: 0 at 0, 1 at 1, flat at both ends.
    virtual float fade(float t) const;
    // a at t = 0, b at t = 1.
    virtual float lerp(float t, float a, float b) const;
    // hash lies in [0, 255] for both.
    virtual float grad1(int hash, float x) const;
    virtual float grad2(int hash, float x, float y) const;
    virtual float grad3(int hash, float x, float y, float z) const;

    virtual float simplex2D(float x, float y) const;
    // out[i] = simplex2D(coords[i] * scale, y) * amplitude for i = 0..count-1.
    virtual void fillSimplex2D(int count, const float* coords, float y, float scale,
                               float amplitude, float* out) const;
    // As fillSimplex2D, adding to out[i] instead of replacing it.
    virtual void addSimplex2D(int count, const float* coords, float y, float scale, float amplitude,
                              float* out) const;
    virtual float simplex3D(float x, float y, float z) const;

    // Unit values sin(angle) for angles drawn from a KISS generator in a fixed start state:
    // the same table in every object.
    const std::array<float, 256>& gradients() const { return gradients_; }

private:
    std::array<float, 256> gradients_;
    // Read in place of gradients_ by the noise operations, to save a dependent table lookup
    // per gradient: permuted_[a] = gradients_[p[a]] for a in [0, 256], and pairs_[h] holds
    // gradients_[h] and gradients_[p[h]], the two factors of grad2.
    std::array<float, 257> permuted_;
    std::array<std::array<float, 2>, 256> pairs_;
};

// One-dimensional noise summed over levels, each with its own frequency and amplitude, plus
// a constant bias. The noise source is borrowed and must outlive this object.
class MultiLevelNoise1D {
public:
    explicit MultiLevelNoise1D(const PerlinNoise& base, float initialBias = 0.0f)
        : bias(initialBias), base_(&base) {}
    virtual ~MultiLevelNoise1D() = default;
    MultiLevelNoise1D(const MultiLevelNoise1D&) = default;
    MultiLevelNoise1D& operator=(const MultiLevelNoise1D&) = default;

    // Returns the index of the new level.
    virtual int addLevel(float frequency, float amplitude);
    // Throws a cindra::Error when no level has that index.
    virtual void removeLevel(int index);
    virtual const std::vector<float>& frequencies() const { return frequencies_; }
    virtual const std::vector<float>& amplitudes() const { return amplitudes_; }
    // The levels are the pairs (frequencies[i], amplitudes[i]); while the two arrays differ in
    // length, the longer one's extra entries take no part.
    virtual void setFrequencies(std::vector<float> values) { frequencies_ = std::move(values); }
    virtual void setAmplitudes(std::vector<float> values) { amplitudes_ = std::move(values); }

    // bias + the levels' noise at x, summed in level order.
    virtual float value(float x) const;
    // out[j] gains the levels' noise at x + j for j = 0..count-1; bias is not added.
    virtual void addTo(float x, float* out, int count) const;
    // out[j] = bias + the levels' noise at x + j, for j = 0..count-1.
    virtual void fill(float x, float* out, int count) const;

    float bias;

private:
    std::size_t levelCount() const;

    const PerlinNoise* base_;
    std::vector<float> frequencies_;
    std::vector<float> amplitudes_;
};

// A seeded hash of unsigned integers: equal arguments give equal words, neighbouring
// arguments unrelated ones.
class StepwiseNoise {
public:
    // Takes the seed from the shared generator, Random::shared().
    StepwiseNoise();
    explicit StepwiseNoise(std::uint32_t seedValue) : seed(seedValue) {}
    virtual ~StepwiseNoise() = default;
    StepwiseNoise(const StepwiseNoise&) = default;
    StepwiseNoise& operator=(const StepwiseNoise&) = default;

    virtual std::uint32_t value(std::uint32_t n) const;

    std::uint32_t seed;
};

} // namespace cindra::util
