// cmap: the map tool. Compiles level sources into map files, prints map files back as
// source, and draws a map file as the game shows it.
//
//   cmap build SOURCE -o FILE.cmap
//   cmap dump FILE.cmap [-o SOURCE]
//   cmap render FILE.cmap --font terminal.png -o FILE.png
//
// The source format is described in docs/level-format.md.
#include "cindra/ConsoleRasterizer.hpp"
#include "cindra/FontAtlas.hpp"
#include "cindra/level/LevelSource.hpp"
#include "cindra/level/LevelView.hpp"
#include "cindra/util/FileContents.hpp"
#include "cindra/util/Png.hpp"

#include <exception>
#include <iostream>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace cindra;

constexpr const char* kUsage = "usage: cmap build SOURCE -o FILE.cmap\n"
                               "       cmap dump FILE.cmap [-o SOURCE]\n"
                               "       cmap render FILE.cmap --font terminal.png -o FILE.png\n";

struct UsageError {};

// The command's one input file and its options ("-o", "--font"), each given at most once.
struct Arguments {
    std::string input;
    std::map<std::string, std::string> options;

    std::string option(const std::string& name) const {
        const auto it = options.find(name);
        return it == options.end() ? std::string() : it->second;
    }
};

Arguments parseArguments(const std::vector<std::string>& args) {
    Arguments parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" || args[i] == "--font") {
            if (i + 1 == args.size() || !parsed.options.emplace(args[i], args[i + 1]).second) {
                throw UsageError();
            }
            ++i;
        } else if (parsed.input.empty() && !args[i].empty() && args[i][0] != '-') {
            parsed.input = args[i];
        } else {
            throw UsageError();
        }
    }
    if (parsed.input.empty()) {
        throw UsageError();
    }
    return parsed;
}

void build(const Arguments& args) {
    const level::Level level = level::parseLevel(util::readFile(args.input), args.input);
    util::replaceFile(args.option("-o"), level::encodeLevel(level.map, level.entities));
}

// Warnings go to the error stream, so that a dump on standard output stays valid source.
void warnUnknownChunk(std::string_view tag) {
    std::cerr << "cmap: warning: skipping unknown map chunk " << tag << '\n';
}

void dump(const Arguments& args) {
    const level::Level level = level::loadLevel(args.input, warnUnknownChunk);
    const std::string text = level::printLevel(level.map, level.entities);
    if (args.options.count("-o") != 0) {
        util::replaceFile(args.option("-o"), text);
    } else {
        std::cout << text << std::flush;
    }
}

void render(const Arguments& args) {
    const FontAtlas atlas(util::readPng(args.option("--font")));
    level::Level level = level::loadLevel(args.input, warnUnknownChunk);
    util::writePng(args.option("-o"),
                   rasterize(level::renderLevel(level.map, level.entities), atlas));
}

void run(const std::vector<std::string>& argv) {
    if (argv.empty()) {
        throw UsageError();
    }
    const std::string& command = argv[0];
    const Arguments args = parseArguments({argv.begin() + 1, argv.end()});
    const bool hasOutput = args.options.count("-o") != 0;
    const bool hasFont = args.options.count("--font") != 0;
    if (command == "build" && hasOutput && !hasFont) {
        build(args);
    } else if (command == "dump" && !hasFont) {
        dump(args);
    } else if (command == "render" && hasOutput && hasFont) {
        render(args);
    } else {
        throw UsageError();
    }
}

} // namespace

int main(int argc, char** argv) {
    try {
        run({argv + 1, argv + argc});
    } catch (const UsageError&) {
        std::cerr << kUsage;
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "cmap: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
