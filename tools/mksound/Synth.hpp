// A small additive synthesiser for the game's own music and sound effects: notes made of
// sine or triangle partials under simple envelopes, mixed into a stereo buffer and written
// as 16-bit PCM WAV. Everything is computed, nothing is random: the same score gives the same
// bytes.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace mksound {

// Samples per second per channel; the rate the engine opens the audio device at, so SDL_mixer
// plays the files without converting them.
inline constexpr int kRate = 44100;

// Equal temperament, A4 (note 69) = 440 Hz.
double noteFrequency(int midiNote);

enum class Wave { Sine, Triangle };

// One component of a note: frequency ratio to the note, level, and the time constant of its
// exponential fade in seconds (0 = it holds at full level while the note is held).
struct Partial {
    double ratio;
    double level;
    double decay;
};

// How notes sound: linear attack and release in seconds around the partials' own fades.
struct Voice {
    Wave wave;
    std::vector<Partial> partials;
    double attack;
    double release;
};

// Where and how loud one note sounds; times in seconds, pan from -1 (left) to 1 (right).
struct NoteEvent {
    double start;
    double length;
    int midiNote;
    double gain;
    double pan;
};

// A stereo buffer of a fixed length. Sound that runs past the end wraps round to the start,
// so a looping track has no seam: the tails of the last notes ring into the first bar.
class Track {
public:
    explicit Track(double seconds);

    void add(const Voice& voice, const NoteEvent& note);
    // Adds taps echoes of dry, each delay seconds after the last, feedback times as loud and
    // on the other side (a ping-pong echo).
    void addEcho(const Track& dry, double delay, double feedback, int taps);
    // Adds other (of the same length) times gain.
    void mix(const Track& other, double gain);

    // The whole buffer as a WAV file, scaled so its loudest sample reaches peak (0..1].
    std::string wav(double peak) const;

private:
    std::vector<double> left_;
    std::vector<double> right_;

    std::size_t frames() const { return left_.size(); }
};

} // namespace mksound
