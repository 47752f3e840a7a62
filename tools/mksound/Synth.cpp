#include "Synth.hpp"

#include "cindra/util/DataWriter.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <sstream>

namespace mksound {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

double waveform(Wave wave, double phase) {
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

double sampleAt(const Voice& voice, double frequency, double length, double t) {
    double sum = 0.0;
    for (const Partial& p : voice.partials) {
        const double fade = p.decay > 0.0 ? std::exp(-t / p.decay) : 1.0;
        sum += p.level * fade * waveform(voice.wave, kTwoPi * frequency * p.ratio * t);
    }
    return sum * envelope(voice, length, t);
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
    const double angle = (note.pan + 1.0) * std::numbers::pi / 4.0; // constant-power pan
    const double toLeft = note.gain * std::cos(angle);
    const double toRight = note.gain * std::sin(angle);
    const auto first = static_cast<std::size_t>(std::lround(note.start * kRate));
    const auto count = static_cast<std::size_t>((note.length + voice.release) * kRate);
    for (std::size_t i = 0; i < count; ++i) {
        const double s = sampleAt(voice, frequency, note.length, static_cast<double>(i) / kRate);
        const std::size_t at = (first + i) % frames();
        left_[at] += s * toLeft;
        right_[at] += s * toRight;
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
