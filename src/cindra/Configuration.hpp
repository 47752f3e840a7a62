// The user's settings: "config.txt" is a Lua chunk run once in a sandboxed Lua state that
// offers only the base library; every setting is a global the chunk assigns.
#pragma once

#include <memory>
#include <string>

namespace cindra::logic {
class LuaSandbox;
}

namespace cindra {

class Configuration {
public:
    // Loads fileName if it exists. Never throws: a missing file is silently empty, a broken
    // one prints "Error loading configuration: {}" and keeps whatever it assigned before.
    // The file must be source text (a precompiled chunk is refused), and the chunk may use
    // 64 MiB at most; the base library's load, loadfile and dofile are not offered, and
    // loadstring refuses precompiled chunks too.
    explicit Configuration(const std::string& fileName);
    ~Configuration();
    Configuration(const Configuration&) = delete;
    Configuration& operator=(const Configuration&) = delete;

    // The global key under Lua's truth rules, or defaultValue when it is nil.
    bool getBool(const std::string& key, bool defaultValue) const;
    // The global key's text (at most 4096 bytes), or defaultValue when it is nil; any other
    // value is reported as an error loading the configuration and gives defaultValue.
    std::string getText(const std::string& key, const std::string& defaultValue) const;

private:
    // Empty when no Lua state could be made: every setting then has its default.
    std::unique_ptr<logic::LuaSandbox> sandbox_;
};

} // namespace cindra
