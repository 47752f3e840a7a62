#include "playtest/KeyNames.hpp"

#include <algorithm>
#include <array>
#include <string>

namespace cindra::playtest {
namespace {

struct NamedKey {
    std::string_view name;
    int code;
};

// SDLKey values from SDL 1.2's SDL_keysym.h. Printable ASCII keys are their own codes.
constexpr int kKeypad0 = 256;
constexpr int kF1 = 282;

constexpr std::array<NamedKey, 42> kNamedKeys = {{
    {"backspace", 8},    {"tab", 9},         {"return", 13},       {"escape", 27},
    {"space", 32},       {"delete", 127},    {"[.]", 266},         {"[/]", 267},
    {"[*]", 268},        {"[-]", 269},       {"[+]", 270},         {"enter", 271},
    {"equals", 272},     {"up", 273},        {"down", 274},        {"right", 275},
    {"left", 276},       {"insert", 277},    {"home", 278},        {"end", 279},
    {"pageup", 280},     {"pagedown", 281},  {"rshift", 303},      {"lshift", 304},
    {"rctrl", 305},      {"lctrl", 306},     {"ralt", 307},        {"lalt", 308},
    {"page up", 280},    {"page down", 281}, {"right shift", 303}, {"left shift", 304},
    {"right ctrl", 305}, {"left ctrl", 306}, {"right alt", 307},   {"left alt", 308},
    {"kp.", 266},        {"kp/", 267},       {"kp*", 268},         {"kp-", 269},
    {"kp+", 270},        {"kpenter", 271},
}};

// Printable keys of a US keyboard: unshifted, then what Shift makes of them.
constexpr std::string_view kUnshifted = "`1234567890-=[]\\;',./";
constexpr std::string_view kShifted = "~!@#$%^&*()_+{}|:\"<>?";

// SDL 1.2 has a key for every printable ASCII character but the capitals, % and { | } ~.
bool isPrintableKey(int code) {
    return code > 32 && code < '{' && code != '%' && !(code >= 'A' && code <= 'Z');
}

std::optional<int> keypadCode(std::string_view name) {
    // "[0]".."[9]" as SDL names them, and kp0..kp9, which need no brackets.
    if (name.size() == 3 && name[0] == '[' && name[2] == ']' && name[1] >= '0' && name[1] <= '9') {
        return kKeypad0 + (name[1] - '0');
    }
    if (name.size() == 3 && name.substr(0, 2) == "kp" && name[2] >= '0' && name[2] <= '9') {
        return kKeypad0 + (name[2] - '0');
    }
    return std::nullopt;
}

std::optional<int> functionKeyCode(std::string_view name) {
    for (int n = 1; n <= 15; ++n) {
        if (name == "f" + std::to_string(n)) {
            return kF1 + n - 1;
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<int> keyCode(std::string_view name) {
    if (name.size() == 1 && isPrintableKey(static_cast<unsigned char>(name[0]))) {
        return static_cast<unsigned char>(name[0]);
    }
    for (const NamedKey& key : kNamedKeys) {
        if (key.name == name) {
            return key.code;
        }
    }
    if (auto code = keypadCode(name)) {
        return code;
    }
    return functionKeyCode(name);
}

std::vector<std::string_view> keyNames() {
    static const std::vector<std::string> kGenerated = [] {
        std::vector<std::string> names;
        for (int code = 33; code < 128; ++code) {
            if (isPrintableKey(code)) {
                names.emplace_back(1, static_cast<char>(code));
            }
        }
        for (int digit = 0; digit <= 9; ++digit) {
            names.push_back("[" + std::to_string(digit) + "]");
            names.push_back("kp" + std::to_string(digit));
        }
        for (int n = 1; n <= 15; ++n) {
            names.push_back("f" + std::to_string(n));
        }
        return names;
    }();
    std::vector<std::pair<int, std::string_view>> byCode;
    for (const std::string& name : kGenerated) {
        byCode.emplace_back(*keyCode(name), name);
    }
    for (const NamedKey& key : kNamedKeys) {
        // SDL's own names of two words cannot be written in a script.
        if (key.name.find(' ') == std::string_view::npos) {
            byCode.emplace_back(key.code, key.name);
        }
    }
    std::stable_sort(byCode.begin(), byCode.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string_view> names;
    for (const auto& entry : byCode) {
        names.push_back(entry.second);
    }
    return names;
}

std::uint16_t unicodeOf(int code, bool shift) {
    switch (code) {
    case 8:
    case 9:
    case 13:
    case 27:
    case 32:
        return static_cast<std::uint16_t>(code);
    default:
        break;
    }
    if (code >= 'a' && code <= 'z') {
        return static_cast<std::uint16_t>(shift ? code - 'a' + 'A' : code);
    }
    if (!isPrintableKey(code)) {
        return 0;
    }
    const std::size_t at = kUnshifted.find(static_cast<char>(code));
    // Keys such as "!" exist in SDL but not on a US keyboard: they type themselves.
    if (shift && at != std::string_view::npos) {
        return static_cast<unsigned char>(kShifted[at]);
    }
    return static_cast<std::uint16_t>(code);
}

std::optional<KeyStroke> keyFor(char16_t c) {
    if (c == 8 || c == 9 || c == 13 || c == 27 || c == ' ') {
        return KeyStroke{c, false};
    }
    if (c >= 'A' && c <= 'Z') {
        return KeyStroke{c - 'A' + 'a', true};
    }
    if (c >= 128) {
        return std::nullopt;
    }
    const std::size_t shifted = kShifted.find(static_cast<char>(c));
    if (shifted != std::string_view::npos) {
        return KeyStroke{static_cast<unsigned char>(kUnshifted[shifted]), true};
    }
    if (isPrintableKey(c)) {
        return KeyStroke{c, false};
    }
    return std::nullopt;
}

} // namespace cindra::playtest
