#include "cindra/Configuration.hpp"

#include "cindra/Output.hpp"
#include "cindra/logic/Lua.hpp"
#include "cindra/logic/LuaSandbox.hpp"
#include "cindra/util/FileContents.hpp"

#include <chrono>
#include <exception>
#include <sys/stat.h>

namespace cindra {

namespace {

// A settings file needs a few kilobytes; past this budget a chunk that grows a table or a
// string for ever ends with an error instead of taking the machine's memory. A configuration
// that runs for ever would hang start-up: past this many Lua instructions, or this long (far
// more than any settings file needs), the chunk is stopped with an error.
logic::LuaSandboxLimits configurationLimits() {
    return {std::size_t{64} << 20, 200'000'000, std::chrono::seconds{2},
            "the configuration runs too long"};
}

void reportError(const char* message) {
    printLine("Error loading configuration: {}", message);
}

} // namespace

Configuration::Configuration(const std::string& fileName) {
    try {
        sandbox_ = std::make_unique<logic::LuaSandbox>(configurationLimits());
    } catch (const logic::LuaError&) {
        return;
    }
    struct stat attributes {};
    if (stat(fileName.c_str(), &attributes) != 0) {
        return;
    }
    try {
        sandbox_->runFileText(util::readFile(fileName), fileName);
    } catch (const std::exception& e) {
        reportError(e.what());
    }
}

Configuration::~Configuration() = default;

bool Configuration::getBool(const std::string& key, bool defaultValue) const {
    if (sandbox_ == nullptr) {
        return defaultValue;
    }
    try {
        return sandbox_->globalTruth(key).value_or(defaultValue);
    } catch (const logic::LuaError& e) {
        reportError(e.what());
        return defaultValue;
    }
}

std::string Configuration::getText(const std::string& key, const std::string& defaultValue) const {
    if (sandbox_ == nullptr) {
        return defaultValue;
    }
    try {
        return sandbox_->globalText(key, 4096).value_or(defaultValue);
    } catch (const logic::LuaError& e) {
        reportError(e.what());
        return defaultValue;
    }
}

} // namespace cindra
