#include "cindra/gui/BrowserKeys.hpp"

#include <algorithm>
#include <array>

namespace cindra::gui {

namespace {

struct Special {
    std::int32_t scancode; // SDL 2's
    std::int32_t key;      // SDL 1.2's
};

// Every key SDL 1.2 has a code for at or above 256, and those below that type nothing.
constexpr std::array<Special, 52> kSpecials{{
    {98, 256},  {89, 257},  {90, 258},  {91, 259},  {92, 260},  {93, 261},  {94, 262},  {95, 263},
    {96, 264},  {97, 265},  {99, 266},  {84, 267},  {85, 268},  {86, 269},  {87, 270},  {88, 271},
    {103, 272}, {82, 273},  {81, 274},  {79, 275},  {80, 276},  {73, 277},  {74, 278},  {77, 279},
    {75, 280},  {78, 281},  {58, 282},  {59, 283},  {60, 284},  {61, 285},  {62, 286},  {63, 287},
    {64, 288},  {65, 289},  {66, 290},  {67, 291},  {68, 292},  {69, 293},  {104, 294}, {105, 295},
    {106, 296}, {83, 300},  {57, 301},  {71, 302},  {229, 303}, {225, 304}, {228, 305}, {224, 306},
    {230, 307}, {226, 308}, {231, 309}, {227, 310},
}};

} // namespace

std::int32_t keyFromBrowserCode(std::int32_t code) {
    if (code >= 0 && code < 256) {
        return code;
    }
    const std::int32_t scancode = code - kBrowserSpecialBase;
    const auto* special = std::find_if(kSpecials.begin(), kSpecials.end(),
                                       [&](const Special& s) { return s.scancode == scancode; });
    return special != kSpecials.end() ? special->key : 0;
}

void browserKeyStates(const std::uint8_t* browserStates, std::span<std::uint8_t> states) {
    const std::size_t ascii = std::min<std::size_t>(states.size(), 256);
    std::copy(browserStates, browserStates + ascii, states.begin());
    std::fill(states.begin() + static_cast<std::ptrdiff_t>(ascii), states.end(), 0);
    for (const Special& special : kSpecials) {
        if (static_cast<std::size_t>(special.key) < states.size()) {
            states[static_cast<std::size_t>(special.key)] =
                browserStates[kBrowserSpecialBase + special.scancode];
        }
    }
}

} // namespace cindra::gui
