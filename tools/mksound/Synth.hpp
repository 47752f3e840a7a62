// A small additive synthesiser for the game's own music and sound effects: notes made of
// sine, triangle or noise partials under simple envelopes, mixed into a stereo buffer and
// written as 16-bit PCM WAV. Everything is computed; even the noise is a fixed-seed hash of
// the note and the cycle, so the same score gives the same bytes.
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

// Noise is a sine whose level wanders at random from cycle to cycle: a hiss in a band about
// an octave wide round the partial's frequency, a rough rumble for a low note.
enum class Wave { Sine, Triangle, Noise };

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

// Where and how loud one note sounds; times in seconds, pan from -1 (left) to 1 (right). A
// bend slides the pitch by that many semitones, evenly over the held length, and it stays
// there through the release.
struct NoteEvent {
    double start;
    double length;
    int midiNote;
    double gain;
    double pan;
    double bend = 0.0;
};

// A stereo buffer of a fixed length. Sound that runs past the end wraps round to the start,
// so a looping track has no seam: the tails of the last notes ring into the first bar.
class Track {
public:
    explicit Track(double seconds);

    void add(const Voice& voice, const NoteEvent& note);
    // Holds midiNote through the whole buffer at gain: each partial is retuned to the nearest
    // whole number of cycles in the buffer's length, so it runs on round the loop without a
    // seam. The voice's envelope and the partials' decays do not apply.
    void addDrone(const Voice& voice, int midiNote, double gain, double pan);
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
