// mksound: writes Marrowfield's own music and sound effects as WAV files from the scores
// below, so the game's audio is built, not downloaded.
//
//   mksound PIECE OUTPUT.wav
//
//   music    game/music/marrowfield.wav  the village at dusk: a calm 16-bar loop in A minor
//   hollow   game/music/hollow.wav       the cave: a slow drone loop with far, echoing notes
//   shrine   game/music/shrine.wav       the Ember's shrine: a tense, pulsing loop in E minor
//   dawn     game/music/dawn.wav         the ending: a warm, bright loop in A major
//   chime    game/sounds/chime.wav       a short two-note bell
//   pickup   game/sounds/pickup.wav      taking the lantern or the Ember: a rising arpeggio
//   door     game/sounds/door.wav        a stone door grinding open
//   stairs   game/sounds/stairs.wav      taking a stair to another level: a soft falling run
//   fanfare  game/sounds/fanfare.wav     the quest's end: a short brass fanfare
//   shade    game/sounds/shade.wav       a shade fleeing the light: a falling whisper
//
// Loops are written so that their last bar runs on into the first without a seam.
#include "Synth.hpp"

#include "cindra/util/FileContents.hpp"

#include <algorithm>
#include <array>
#include <exception>
#include <iostream>
#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace {

using mksound::NoteEvent;
using mksound::Partial;
using mksound::Track;
using mksound::Voice;
using mksound::Wave;

// MIDI note numbers by name, s for sharp and b for flat.
// clang-format off
enum : int {
    A1 = 33, B1 = 35, C2 = 36, D2 = 38, E2 = 40, F2 = 41, Fs2 = 42, G2 = 43, A2 = 45, Bb2 = 46,
    B2 = 47, C3 = 48, D3 = 50, Ds3 = 51, E3 = 52, F3 = 53, Fs3 = 54, G3 = 55, Gs3 = 56, A3 = 57,
    B3 = 59, C4 = 60, Cs4 = 61, D4 = 62, E4 = 64, Fs4 = 66, G4 = 67, Gs4 = 68, A4 = 69, B4 = 71,
    C5 = 72, Cs5 = 73, D5 = 74, Ds5 = 75, E5 = 76, F5 = 77, Fs5 = 78, G5 = 79, Gs5 = 80, A5 = 81,
    B5 = 83, Cs6 = 85, D6 = 86, E6 = 88, F6 = 89, A6 = 93, D7 = 98, E7 = 100
};
// clang-format on

struct Chord {
    int root;                 // the bass note
    std::array<int, 3> tones; // held by the pad, broken by the arpeggio
};

struct MelodyNote {
    int bar;
    double beat;
    double beats;
    int note;
};

// The village at dusk: 108 beats a minute, so one beat is exactly 24500 samples and every
// note starts on a sample.
constexpr double kBeat = 60.0 / 108.0;
constexpr double kBar = 4 * kBeat;
constexpr int kBars = 16;

constexpr Chord kAm{45, {57, 60, 64}};
constexpr Chord kF{41, {53, 57, 60}};
constexpr Chord kC{48, {55, 60, 64}};
constexpr Chord kG{43, {55, 59, 62}};
constexpr Chord kEm{40, {52, 55, 59}};

// Two eight-bar phrases; the second ends on E minor, which leads back into the first bar.
constexpr std::array<Chord, kBars> kChords = {kAm, kF, kC, kG, kAm, kF, kG,  kAm,
                                              kAm, kF, kC, kG, kF,  kG, kEm, kEm};

// In A minor pentatonic.
constexpr MelodyNote kMelody[] = {
    {0, 0, 1.5, A4},  {0, 1.5, 0.5, C5},  {0, 2, 2, E5},    {1, 0, 1, D5},      {1, 1, 1, C5},
    {1, 2, 2, A4},    {2, 0, 1, G4},      {2, 1, 1, C5},    {2, 2, 1.5, E5},    {2, 3.5, 0.5, D5},
    {3, 0, 3, D5},    {4, 0, 1, E5},      {4, 1, 1, G5},    {4, 2, 1.5, A5},    {4, 3.5, 0.5, G5},
    {5, 0, 1, E5},    {5, 1, 1, D5},      {5, 2, 2, C5},    {6, 0, 1.5, D5},    {6, 1.5, 0.5, E5},
    {6, 2, 1, D5},    {6, 3, 1, G4},      {7, 0, 4, A4},    {8, 1, 0.5, C5},    {8, 1.5, 0.5, D5},
    {8, 2, 1, E5},    {8, 3, 1, A5},      {9, 0, 1.5, G5},  {9, 1.5, 0.5, E5},  {9, 2, 2, C5},
    {10, 0, 1, E5},   {10, 1, 1, G5},     {10, 2, 1, E5},   {10, 3, 1, D5},     {11, 0, 2, D5},
    {11, 2, 1, G4},   {11, 3, 1, D5},     {12, 0, 1.5, C5}, {12, 1.5, 0.5, A4}, {12, 2, 1, C5},
    {12, 3, 1, D5},   {13, 0, 1, D5},     {13, 1, 1, E5},   {13, 2, 2, G5},     {14, 0, 3, E5},
    {14, 3, 0.5, D5}, {14, 3.5, 0.5, C5}, {15, 0, 2, G4},   {15, 2, 2, E4},
};

// A soft flute-like lead: a sine with two quiet harmonics that fade faster than the tone.
const Voice kLead{Wave::Sine, {{1, 1, 1.6}, {2, 0.22, 0.5}, {3, 0.07, 0.25}}, 0.025, 0.3};
// Two slightly detuned sines that swell in and hold: a slow chorus under everything.
const Voice kPad{Wave::Sine, {{1, 0.5, 0}, {1.004, 0.5, 0}, {2, 0.12, 0}}, 0.6, 0.9};
// Round bass with a touch of octave so small speakers still hint at it.
const Voice kBass{Wave::Sine, {{1, 1, 2.5}, {2, 0.3, 0.8}}, 0.02, 0.25};
// A plucked triangle for the broken chords.
const Voice kPluck{Wave::Triangle, {{1, 1, 0.28}}, 0.004, 0.12};
// A bell: a bright, quickly fading top over a ringing fundamental.
const Voice kBell{
    Wave::Sine, {{1, 1, 0.6}, {2, 0.35, 0.3}, {3, 0.12, 0.18}, {4.16, 0.06, 0.1}}, 0.003, 0.4};

// Per bar of four beats: the chord held by the pad, the root twice in the bass, and the
// chord broken in eighths an octave up, swapping sides.
void addHarmony(Track& track, std::span<const Chord> chords, double beat) {
    constexpr std::array<int, 8> kPattern = {0, 1, 2, 1, 0, 2, 1, 2};
    const double barLength = 4 * beat;
    for (std::size_t bar = 0; bar < chords.size(); ++bar) {
        const Chord& chord = chords[bar];
        const double at = static_cast<double>(bar) * barLength;
        for (int tone : chord.tones) {
            track.add(kPad, {at, barLength - 0.3, tone, 0.10, 0.0});
        }
        track.add(kBass, {at, 2 * beat, chord.root, 0.32, 0.0});
        track.add(kBass, {at + 2 * beat, 1.5 * beat, chord.root, 0.24, 0.0});
        for (int i = 0; i < 8; ++i) {
            const int tone =
                chord.tones[static_cast<std::size_t>(kPattern[static_cast<std::size_t>(i)])];
            track.add(kPluck, {at + i * beat / 2, beat / 2, tone + 12, 0.07, i % 2 ? 0.45 : -0.45});
        }
    }
}

// A melody on its own track, so it can be echoed; each note is held for 92% of its beats.
Track melody(double seconds, std::span<const MelodyNote> notes, double beat, const Voice& voice,
             double gain, double pan) {
    Track lead(seconds);
    for (const MelodyNote& n : notes) {
        lead.add(voice,
                 {n.bar * (4 * beat) + n.beat * beat, n.beats * beat * 0.92, n.note, gain, pan});
    }
    return lead;
}

std::string music() {
    const double seconds = kBars * kBar;
    Track song(seconds);
    addHarmony(song, kChords, kBeat);
    const Track lead = melody(seconds, kMelody, kBeat, kLead, 0.22, -0.1);
    song.mix(lead, 1.0);
    song.addEcho(lead, 0.75 * kBeat, 0.4, 4);
    return song.wav(0.7);
}

std::string chime() {
    Track bell(1.5);
    bell.add(kBell, {0.0, 0.9, A5, 0.5, -0.2});
    bell.add(kBell, {0.11, 0.9, A5 + 7, 0.45, 0.2}); // the fifth above, E6
    return bell.wav(0.6);
}

// The Hollow: 60 beats a minute, eight bars of D minor over a drone on D and A, with a few
// far-off notes that the cave throws back.
constexpr double kHollowBeat = 1.0;
constexpr int kHollowBars = 8;

// Beating sines held under everything: a slow throb.
const Voice kDrone{Wave::Sine, {{1, 1, 0}, {1.003, 0.7, 0}, {2, 0.3, 0}, {3, 0.08, 0}}, 2, 3};
// Air moving through the cave: a hush that swells in and out.
const Voice kWind{Wave::Noise, {{1, 1, 0}, {3, 0.3, 0}}, 3, 4};
const Voice kDarkPad{Wave::Sine, {{1, 0.5, 0}, {1.005, 0.5, 0}, {2, 0.1, 0}}, 2.5, 3};
// A soft tone with little overtone, as if from far away.
const Voice kDistant{Wave::Sine, {{1, 1, 1.8}, {2, 0.12, 0.5}}, 0.05, 1.2};
// A drop of water: a short sine whose pitch jumps up.
const Voice kDrip{Wave::Sine, {{1, 1, 0.05}}, 0.002, 0.06};

constexpr std::array<std::array<int, 3>, 4> kHollowChords = {{
    {D3, F3, A3},
    {Bb2, D3, F3},
    {G2, Bb2, D3},
    {A2, C3, E3},
}};

constexpr MelodyNote kHollowMelody[] = {
    {0, 0.5, 1, A4}, {0, 1.5, 1, D5}, {0, 2.5, 3, E5},   {2, 0.5, 1, F5}, {2, 1.5, 1, E5},
    {2, 2.5, 3, C5}, {4, 0.5, 1, D5}, {4, 1.5, 1, A4},   {4, 2.5, 3, G4}, {6, 0.5, 1, E5},
    {6, 1.5, 1, F5}, {6, 2.5, 1, E5}, {6, 3.5, 3.5, A4},
};

std::string hollow() {
    const double bar = 4 * kHollowBeat;
    const double seconds = kHollowBars * bar;
    Track song(seconds);
    song.addDrone(kDrone, D2, 0.30, 0.0);
    song.addDrone(kDrone, A2, 0.12, 0.0);
    for (int gust = 0; gust < 4; ++gust) {
        const bool rising = gust % 2 == 0;
        song.add(kWind,
                 {(2 * gust + 0.25) * bar, 5, E4, 0.10, rising ? -0.4 : 0.4, rising ? 4.0 : -4.0});
    }
    for (std::size_t i = 0; i < kHollowChords.size(); ++i) {
        for (int tone : kHollowChords[i]) {
            song.add(kDarkPad, {static_cast<double>(i) * 2 * bar, 2 * bar - 1, tone, 0.05, 0.0});
        }
    }
    Track far = melody(seconds, kHollowMelody, kHollowBeat, kDistant, 0.16, 0.0);
    constexpr std::array<std::pair<double, int>, 4> kDrips = {
        {{5.3, E6}, {13.7, D6}, {21.2, A5}, {29.6, F6}}};
    for (const auto& [at, note] : kDrips) {
        far.add(kDrip, {at, 0.03, note, 0.06, at > 16 ? 0.5 : -0.5, 8});
    }
    song.mix(far, 1.0);
    song.addEcho(far, 0.75 * kHollowBeat, 0.5, 6);
    song.addEcho(far, 0.137, 0.45, 3); // the near walls
    song.addEcho(far, 0.211, 0.4, 3);
    return song.wav(0.6);
}

// The shrine: 100 beats a minute, twelve bars in E minor with a Phrygian F and a B major that
// pulls back to the start; a heartbeat and a 3 + 3 + 2 pulse under a glassy melody.
constexpr double kShrineBeat = 0.6;

constexpr Chord kShrineEm{E2, {E3, G3, B3}};
constexpr Chord kShrineF{F2, {F3, A3, C4}};
constexpr Chord kShrineC{C2, {E3, G3, C4}};
constexpr Chord kShrineAm{A2, {E3, A3, C4}};
constexpr Chord kShrineB{B1, {Ds3, Fs3, B3}};

constexpr std::array<Chord, 12> kShrineChords = {
    kShrineEm, kShrineEm, kShrineF,  kShrineEm, kShrineC, kShrineAm,
    kShrineF,  kShrineB,  kShrineEm, kShrineF,  kShrineC, kShrineB,
};

constexpr MelodyNote kShrineMelody[] = {
    {0, 0, 2, B4},     {0, 2, 1, C5},   {0, 3, 1, B4},  {1, 0, 3, G4},  {2, 0, 1.5, A4},
    {2, 1.5, 0.5, C5}, {2, 2, 2, F5},   {3, 0, 4, E5},  {4, 0, 1, G5},  {4, 1, 1, E5},
    {4, 2, 2, C5},     {5, 0, 2, A4},   {5, 2, 1, C5},  {5, 3, 1, E5},  {6, 0, 3, F5},
    {6, 3, 1, E5},     {7, 0, 4, Ds5},  {8, 2, 1, E5},  {8, 3, 1, G5},  {9, 0, 1.5, F5},
    {9, 1.5, 0.5, E5}, {9, 2, 2, C5},   {10, 0, 1, G4}, {10, 1, 1, C5}, {10, 2, 2, E5},
    {11, 0, 2, Fs5},   {11, 2, 2, Ds5},
};

const Voice kPulse{Wave::Sine, {{1, 1, 0.16}, {2, 0.4, 0.07}, {3, 0.1, 0.04}}, 0.004, 0.1};
// A low drum whose pitch drops as it sounds.
const Voice kThud{Wave::Sine, {{1, 1, 0.12}, {2, 0.3, 0.05}}, 0.002, 0.15};
// A dry tick of high noise.
const Voice kTick{Wave::Noise, {{1, 1, 0.012}}, 0.001, 0.03};
const Voice kShimmer{Wave::Sine, {{1, 0.5, 0}, {1.002, 0.5, 0}}, 1, 1};
// A struck glass bar: a fundamental with quickly fading inharmonic overtones.
const Voice kGlass{Wave::Sine, {{1, 1, 1.2}, {2.76, 0.18, 0.3}, {5.4, 0.05, 0.1}}, 0.01, 0.5};

std::string shrine() {
    constexpr std::array<double, 8> kAccents = {1.0, 0.5, 0.55, 0.9, 0.5, 0.55, 0.85, 0.5};
    const double bar = 4 * kShrineBeat;
    const double seconds = static_cast<double>(kShrineChords.size()) * bar;
    Track song(seconds);
    song.addDrone(kShimmer, B5, 0.025, 0.3);
    for (std::size_t i = 0; i < kShrineChords.size(); ++i) {
        const Chord& chord = kShrineChords[i];
        const double at = static_cast<double>(i) * bar;
        for (int tone : chord.tones) {
            song.add(kDarkPad, {at, bar - 0.2, tone, 0.06, 0.0});
        }
        song.add(kThud, {at, 0.08, E2, 0.2, 0.0, -7});
        song.add(kThud, {at + kShrineBeat / 2, 0.08, E2, 0.13, 0.0, -7});
        for (std::size_t e = 0; e < kAccents.size(); ++e) {
            const double when = at + static_cast<double>(e) * kShrineBeat / 2;
            song.add(kPulse, {when, kShrineBeat / 4, chord.root + 12, 0.3 * kAccents[e], 0.0});
            if (e % 2 == 1) {
                song.add(kTick, {when, 0.01, 115, 0.05, e % 4 == 1 ? -0.3 : 0.3}); // ~6.3 kHz
            }
        }
    }
    const Track lead = melody(seconds, kShrineMelody, kShrineBeat, kGlass, 0.17, 0.15);
    song.mix(lead, 1.0);
    song.addEcho(lead, 0.75 * kShrineBeat, 0.35, 3);
    return song.wav(0.7);
}

// Dawn: 80 beats a minute, eight bars in A major; the village's opening figure comes back
// with its third raised, over the village's own accompaniment, and birds wake.
constexpr double kDawnBeat = 0.75;

constexpr Chord kDawnA{A2, {A3, Cs4, E4}};
constexpr Chord kDawnD{D2, {A3, D4, Fs4}};
constexpr Chord kDawnFsm{Fs2, {Fs3, A3, Cs4}};
constexpr Chord kDawnE{E2, {Gs3, B3, E4}};
constexpr Chord kDawnBm{B2, {Fs3, B3, D4}};

constexpr std::array<Chord, 8> kDawnChords = {kDawnA, kDawnD, kDawnFsm, kDawnE,
                                              kDawnD, kDawnA, kDawnBm,  kDawnE};

constexpr MelodyNote kDawnMelody[] = {
    {0, 0, 1.5, A4},    {0, 1.5, 0.5, Cs5}, {0, 2, 2, E5},  {1, 0, 1, Fs5},   {1, 1, 1, E5},
    {1, 2, 2, D5},      {2, 0, 1, Cs5},     {2, 1, 1, E5},  {2, 2, 1.5, A5},  {2, 3.5, 0.5, Gs5},
    {3, 0, 1, Gs5},     {3, 1, 1, Fs5},     {3, 2, 2, E5},  {4, 0, 1.5, Fs5}, {4, 1.5, 0.5, E5},
    {4, 2, 1, D5},      {4, 3, 1, Fs5},     {5, 0, 1, E5},  {5, 1, 1, Cs5},   {5, 2, 2, A4},
    {6, 0, 1, D5},      {6, 1, 1, Fs5},     {6, 2, 1, E5},  {6, 3, 1, D5},    {7, 0, 1.5, B4},
    {7, 1.5, 0.5, Cs5}, {7, 2, 1, B4},      {7, 3, 1, Gs4},
};

// A bird: two quick upward flicks of a high sine.
const Voice kChirp{Wave::Sine, {{1, 1, 0.04}}, 0.003, 0.04};

std::string dawn() {
    const double bar = 4 * kDawnBeat;
    const double seconds = static_cast<double>(kDawnChords.size()) * bar;
    Track song(seconds);
    addHarmony(song, kDawnChords, kDawnBeat);
    const Track lead = melody(seconds, kDawnMelody, kDawnBeat, kLead, 0.22, -0.1);
    song.mix(lead, 1.0);
    song.addEcho(lead, 0.75 * kDawnBeat, 0.35, 3);
    for (const MelodyNote& n : kDawnMelody) {
        if (n.beat == 0) { // the first note of each bar rings an octave up in a bell
            song.add(kBell, {n.bar * bar, 0.5, n.note + 12, 0.05, 0.35});
        }
    }
    constexpr std::array<std::pair<double, int>, 3> kBirds = {
        {{1 * 4 + 3.5, E7}, {5 * 4 + 2.5, D7}, {6 * 4 + 3.25, E7}}};
    for (const auto& [beat, note] : kBirds) {
        const double at = beat * kDawnBeat;
        song.add(kChirp, {at, 0.05, note, 0.035, 0.6, 5});
        song.add(kChirp, {at + 0.12, 0.05, note + 2, 0.03, 0.6, 5});
    }
    return song.wav(0.7);
}

// Taking the lantern or the Ember: A major rising in bells.
std::string pickup() {
    Track sound(0.8);
    constexpr std::array<int, 4> kNotes = {A5, Cs6, E6, A6};
    for (std::size_t i = 0; i < kNotes.size(); ++i) {
        const double step = static_cast<double>(i);
        sound.add(kBell, {0.06 * step, 0.12, kNotes[i], 0.4 + 0.02 * step, -0.3 + 0.2 * step});
    }
    return sound.wav(0.6);
}

// Stone on stone: low noise sliding down under a falling rumble, the judder of the slab
// catching, and the thud as it stops.
const Voice kGrind{Wave::Noise, {{1, 1, 0}, {3, 0.4, 0}, {10, 0.12, 0}}, 0.06, 0.2};
const Voice kRumble{Wave::Triangle, {{1, 1, 0}, {2, 0.3, 0}}, 0.08, 0.2};
const Voice kScrape{Wave::Noise, {{1, 1, 0.05}, {4, 0.5, 0.03}}, 0.004, 0.05};

std::string door() {
    Track sound(1.2);
    sound.add(kGrind, {0.0, 0.85, A2, 0.5, 0.0, -5});
    sound.add(kRumble, {0.0, 0.85, A1, 0.35, 0.0, -4});
    constexpr std::array<double, 12> kCatches = {0.04, 0.11, 0.16, 0.24, 0.31, 0.37,
                                                 0.45, 0.50, 0.58, 0.66, 0.71, 0.79};
    for (std::size_t i = 0; i < kCatches.size(); ++i) {
        const int note = A3 - static_cast<int>(i / 2);
        sound.add(kScrape, {kCatches[i], 0.04, note, i % 3 == 0 ? 0.3 : 0.2, i % 2 ? 0.2 : -0.2});
    }
    sound.add(kThud, {0.86, 0.1, E2, 0.6, 0.0, -7});
    sound.add(kScrape, {0.86, 0.05, A2, 0.35, 0.0});
    return sound.wav(0.7);
}

// A stair: soft steps down A minor, each with a faint footfall.
const Voice kStep{Wave::Triangle, {{1, 1, 0.14}, {2, 0.15, 0.05}}, 0.006, 0.2};
const Voice kTap{Wave::Noise, {{1, 1, 0.015}}, 0.001, 0.02};

std::string stairs() {
    Track sound(0.8);
    constexpr std::array<int, 6> kNotes = {E5, D5, C5, A4, G4, E4};
    for (std::size_t i = 0; i < kNotes.size(); ++i) {
        const double step = static_cast<double>(i);
        const double at = 0.075 * step;
        const double pan = 0.3 - 0.12 * step;
        sound.add(kStep, {at, 0.07, kNotes[i], 0.3 - 0.02 * step, pan});
        sound.add(kTap, {at, 0.01, C4, 0.08, pan});
    }
    return sound.wav(0.5);
}

// Brass: harmonics that stay, the upper ones fading a little.
const Voice kBrass{
    Wave::Sine,
    {{1, 1, 0}, {2, 0.55, 0}, {3, 0.4, 0}, {4, 0.25, 1}, {5, 0.15, 0.6}, {6, 0.08, 0.4}},
    0.03,
    0.22};

// The quest's end: three quick Es, then up the A major chord to a held E over A major.
std::string fanfare() {
    Track sound(2.0);
    for (int i = 0; i < 3; ++i) {
        sound.add(kBrass, {0.12 * i, 0.08, E5, 0.26, 0.1});
        sound.add(kThud, {0.12 * i, 0.06, A2, 0.15, 0.0, -1});
    }
    sound.add(kBrass, {0.36, 0.15, A5, 0.3, 0.1});
    sound.add(kBrass, {0.54, 0.15, Cs6, 0.3, 0.1});
    sound.add(kBrass, {0.72, 1.0, E6, 0.3, 0.1});
    for (int tone : {A3, E4, A4}) {
        sound.add(kBrass, {0.36, 1.36, tone, 0.12, -0.2});
    }
    sound.add(kThud, {0.36, 0.3, A2, 0.4, 0.0, -1});
    sound.add(kBell, {0.72, 0.6, E6, 0.1, 0.4});
    sound.add(kBell, {0.76, 0.6, A6, 0.08, -0.4});
    return sound.wav(0.7);
}

// A shade fleeing: breath whose brightness falls away, one for each ear, over a faint
// wavering tone falling with it.
const Voice kBreath{Wave::Noise, {{1, 1, 0}, {0.5, 0.5, 0}}, 0.12, 0.3};
const Voice kGhost{Wave::Sine, {{1, 1, 0}, {1.007, 0.8, 0}, {2, 0.1, 0}}, 0.1, 0.3};

std::string shade() {
    Track sound(0.85);
    sound.add(kBreath, {0.0, 0.45, E7, 0.45, -0.5, -18});
    sound.add(kBreath, {0.02, 0.45, E7 - 1, 0.45, 0.5, -18});
    sound.add(kGhost, {0.0, 0.45, B5, 0.06, 0.0, -8});
    return sound.wav(0.6);
}

struct Piece {
    std::string_view name;
    std::string (*make)();
};

constexpr std::array<Piece, 10> kPieces = {{
    {"music", music},
    {"chime", chime},
    {"hollow", hollow},
    {"shrine", shrine},
    {"dawn", dawn},
    {"pickup", pickup},
    {"door", door},
    {"stairs", stairs},
    {"fanfare", fanfare},
    {"shade", shade},
}};

} // namespace

int main(int argc, char** argv) {
    const std::string_view what = argc == 3 ? argv[1] : "";
    const auto piece = std::find_if(kPieces.begin(), kPieces.end(),
                                    [&](const Piece& p) { return p.name == what; });
    if (piece == kPieces.end()) {
        std::cerr << "usage: mksound PIECE OUTPUT.wav\npieces:";
        for (const Piece& p : kPieces) {
            std::cerr << ' ' << p.name;
        }
        std::cerr << '\n';
        return 2;
    }
    try {
        cindra::util::replaceFile(argv[2], piece->make());
    } catch (const std::exception& e) {
        std::cerr << "mksound: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
