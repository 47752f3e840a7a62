#include "Synth.hpp"

#include "cindra/util/DataWriter.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <sstream>
#include <utility>

namespace mksound {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// The SplitMix64 finaliser: a well-stirred 64-bit hash of z.
std::uint64_t mixBits(std::uint64_t z) {
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
    return z ^ (z >> 31);
}

// The level of noise point index under key, in [-1, 1).
double noisePoint(std::uint64_t key, std::uint64_t index) {
    const std::uint64_t z = mixBits(key + index * 0x9e3779b97f4a7c15u);
    return static_cast<double>(z >> 11) * 0x1.0p-52 - 1.0;
}

// A sine whose level is redrawn at random every cycle, the levels joined by straight lines:
// noise in a band about an octave wide round the frequency, with nothing at 0 Hz. With a
// period, the levels repeat after that many cycles, so the noise loops seamlessly.
double noise(double phase, std::uint64_t key, std::uint64_t period) {
    const double cycles = phase / kTwoPi;
    const double below = std::floor(cycles);
    auto index = static_cast<std::uint64_t>(below);
    auto next = index + 1;
    if (period > 0) {
        index %= period;
        next %= period;
    }
    const double a = noisePoint(key, index);
    return (a + (cycles - below) * (noisePoint(key, next) - a)) * std::sin(phase);
}

// key and period matter only to noise.
double waveform(Wave wave, double phase, std::uint64_t key, std::uint64_t period) {
    if (wave == Wave::Noise) {
        return noise(phase, key, period);
    }
    const double s = std::sin(phase);
    return wave == Wave::Sine ? s : std::asin(s) * 2.0 / std::numbers::pi;
}

// The note's loudness at time t after its start: the attack ramp, then after the held length
// a linear fade over the release; the partials' own decays come on top.
double envelope(const Voice& voice, double length, double t) {
    const double rise = voice.attack > 0.0 ? std::min(1.0, t / voice.attack) : 1.0;
    if (t <= length) {
        return rise;
    }
    return rise * std::max(0.0, 1.0 - (t - length) / voice.release);
}

// How many seconds' worth of cycles at the starting pitch have passed at time t: the bend
// speeds the cycles up (or slows them down) evenly in semitones over the held length, so the
// phase runs on smoothly while the pitch slides.
double bentTime(double bend, double length, double t) {
    if (bend == 0.0) {
        return t;
    }
    const double end = std::exp2(bend / 12.0);
    if (length <= 0.0) {
        return t * end;
    }
    const double rate = bend * std::numbers::ln2 / (12.0 * length);
    return std::expm1(rate * std::min(t, length)) / rate + std::max(0.0, t - length) * end;
}

// One sample of a note at time t after its start; seed picks the note's own noise.
double sampleAt(const Voice& voice, const NoteEvent& note, double frequency, std::uint64_t seed,
                double t) {
    const double bent = bentTime(note.bend, note.length, t);
    double sum = 0.0;
    for (std::size_t i = 0; i < voice.partials.size(); ++i) {
        const Partial& p = voice.partials[i];
        const double fade = p.decay > 0.0 ? std::exp(-t / p.decay) : 1.0;
        const double phase = kTwoPi * frequency * p.ratio * bent;
        sum += p.level * fade * waveform(voice.wave, phase, mixBits(seed + i), 0);
    }
    return sum * envelope(voice, note.length, t);
}

// Constant-power pan: the gains to the left and right channels.
std::pair<double, double> panGains(double gain, double pan) {
    const double angle = (pan + 1.0) * std::numbers::pi / 4.0;
    return {gain * std::cos(angle), gain * std::sin(angle)};
}

void writeSample(cindra::util::DataWriter& out, double value) {
    const auto v = static_cast<std::int16_t>(std::lround(std::clamp(value, -1.0, 1.0) * 32767.0));
    const auto bits = static_cast<std::uint16_t>(v);
    out.writeUint8(static_cast<std::uint8_t>(bits & 0xff));
    out.writeUint8(static_cast<std::uint8_t>(bits >> 8));
}

// The 44-byte RIFF header of 16-bit stereo PCM at kRate.
void writeHeader(cindra::util::DataWriter& out, std::uint32_t dataBytes) {
    constexpr std::uint32_t kChannels = 2;
    constexpr std::uint32_t kBlockAlign = kChannels * 2;
    out.writeBytes("RIFF", 4);
    out.writeUint32(36 + dataBytes);
    out.writeBytes("WAVEfmt ", 8);
    out.writeUint32(16);                      // format chunk size
    out.writeUint32(1 | kChannels << 16);     // PCM, channel count
    out.writeUint32(kRate);                   // frames per second
    out.writeUint32(kRate * kBlockAlign);     // bytes per second
    out.writeUint32(kBlockAlign | 16u << 16); // bytes per frame, bits per sample
    out.writeBytes("data", 4);
    out.writeUint32(dataBytes);
}

} // namespace

double noteFrequency(int midiNote) {
    return 440.0 * std::pow(2.0, (midiNote - 69) / 12.0);
}

Track::Track(double seconds)
    : left_(static_cast<std::size_t>(std::lround(seconds * kRate))), right_(left_.size()) {}

void Track::add(const Voice& voice, const NoteEvent& note) {
    const double frequency = noteFrequency(note.midiNote);
    const auto [toLeft, toRight] = panGains(note.gain, note.pan);
    const auto first = static_cast<std::size_t>(std::lround(note.start * kRate));
    const auto count = static_cast<std::size_t>((note.length + voice.release) * kRate);
    // Two notes of a noise voice hiss differently unless they share a start and a pitch.
    const std::uint64_t seed = mixBits(first ^ (static_cast<std::uint64_t>(note.midiNote) << 48));
    for (std::size_t i = 0; i < count; ++i) {
        const double s = sampleAt(voice, note, frequency, seed, static_cast<double>(i) / kRate);
        const std::size_t at = (first + i) % frames();
        left_[at] += s * toLeft;
        right_[at] += s * toRight;
    }
}

void Track::addDrone(const Voice& voice, int midiNote, double gain, double pan) {
    const double frequency = noteFrequency(midiNote);
    const auto [toLeft, toRight] = panGains(gain, pan);
    const auto length = static_cast<double>(frames());
    for (std::size_t partial = 0; partial < voice.partials.size(); ++partial) {
        const Partial& p = voice.partials[partial];
        const double cycles = std::max(1.0, std::round(frequency * p.ratio * length / kRate));
        const std::uint64_t key = mixBits((static_cast<std::uint64_t>(midiNote) << 48) ^ partial);
        for (std::size_t i = 0; i < frames(); ++i) {
            const double phase = kTwoPi * (cycles * static_cast<double>(i) / length);
            const double s =
                p.level * waveform(voice.wave, phase, key, static_cast<std::uint64_t>(cycles));
            left_[i] += s * toLeft;
            right_[i] += s * toRight;
        }
    }
}

void Track::addEcho(const Track& dry, double delay, double feedback, int taps) {
    const auto step = static_cast<std::size_t>(std::lround(delay * kRate));
    double gain = 1.0;
    for (int tap = 1; tap <= taps; ++tap) {
        gain *= feedback;
        const bool swap = tap % 2 == 1;
        for (std::size_t i = 0; i < frames(); ++i) {
            const std::size_t at = (i + step * static_cast<std::size_t>(tap)) % frames();
            left_[at] += gain * (swap ? dry.right_[i] : dry.left_[i]);
            right_[at] += gain * (swap ? dry.left_[i] : dry.right_[i]);
        }
    }
}

void Track::mix(const Track& other, double gain) {
    for (std::size_t i = 0; i < frames(); ++i) {
        left_[i] += gain * other.left_[i];
        right_[i] += gain * other.right_[i];
    }
}

std::string Track::wav(double peak) const {
    double loudest = 1e-9;
    for (std::size_t i = 0; i < frames(); ++i) {
        loudest = std::max({loudest, std::abs(left_[i]), std::abs(right_[i])});
    }
    const double scale = peak / loudest;
    std::ostringstream bytes;
    cindra::util::DataWriter out(bytes);
    writeHeader(out, static_cast<std::uint32_t>(frames() * 4));
    for (std::size_t i = 0; i < frames(); ++i) {
        writeSample(out, left_[i] * scale);
        writeSample(out, right_[i] * scale);
    }
    return std::move(bytes).str();
}

} // namespace mksound
