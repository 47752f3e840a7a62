#include "cindra/audio/Mixer.hpp"

namespace cindra::audio {

namespace {
NullMixer silence;
Mixer* current = nullptr;
} // namespace

Mixer& mixer() {
    return current != nullptr ? *current : silence;
}

void setMixer(Mixer* installed) {
    current = installed;
}

} // namespace cindra::audio
