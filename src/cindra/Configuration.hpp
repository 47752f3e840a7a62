// The user's settings: "config.txt" is a Lua chunk run once in a private Lua state that
// offers only the base library; every setting is a global the chunk assigns.
#pragma once

#include <string>

struct lua_State;

namespace cindra {

class Configuration {
public:
    // Loads fileName if it exists. Never throws: a missing file is silently empty, a broken
    // one prints "Error loading configuration: {}" and keeps whatever it assigned before.
    explicit Configuration(const std::string& fileName);
    ~Configuration();
    Configuration(const Configuration&) = delete;
    Configuration& operator=(const Configuration&) = delete;

    // The global key under Lua's truth rules, or defaultValue when it is nil.
    bool getBool(const std::string& key, bool defaultValue) const;

private:
    lua_State* state_;
};

} // namespace cindra
