// cmap: the map tool. Compiles level sources into map files, prints map files back as
// source, and draws a map file as the game shows it.
//
//   cmap build SOURCE -o FILE.cmap
//   cmap dump FILE.cmap [-o SOURCE]
//   cmap render FILE.cmap --font terminal.png -o FILE.png [--at X Y | --whole]
//   cmap --help
//
// build prints a warning on standard error for each light, region and entity that lies
// (partly) outside the map, and writes the map file all the same. render draws the 128 x 96
// window the game shows with the view point (X, Y), the map cell at the window's bottom-left
// cell ((0,0) by default, as right after loading), or with --whole the entire map.
// --help (or -h) prints the usage on standard output. A wrong command line prints what is
// wrong and the usage on standard error and exits with 2; a failure exits with 1.
//
// The source format is described in docs/level-format.md.
#include "cindra/ConsoleRasterizer.hpp"
#include "cindra/FontAtlas.hpp"
#include "cindra/level/LevelSource.hpp"
#include "cindra/level/LevelView.hpp"
#include "cindra/util/FileContents.hpp"
#include "cindra/util/Png.hpp"

#include <charconv>
#include <cstdint>
#include <exception>
#include <iostream>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace cindra;

constexpr const char* kUsage =
    "usage: cmap build SOURCE -o FILE.cmap\n"
    "       cmap dump FILE.cmap [-o SOURCE]\n"
    "       cmap render FILE.cmap --font terminal.png -o FILE.png [--at X Y | --whole]\n"
    "       cmap --help\n"
    "\n"
    "build   compiles a level source into a map file (warnings go to standard error)\n"
    "dump    prints a map file as level source (on standard output without -o)\n"
    "render  draws the 128 x 96 window the game shows with the view point (X, Y), the map\n"
    "        cell at its bottom left ((0,0) by default), or with --whole the entire map\n"
    "The level source format is described in docs/level-format.md.\n";

// A wrong command line, with what was wrong in one line.
struct UsageError {
    std::string problem;
};
struct HelpRequest {};

// How many values each option of each command takes.
const std::map<std::string, std::map<std::string, int>, std::less<>> kCommands = {
    {"build", {{"-o", 1}}},
    {"dump", {{"-o", 1}}},
    {"render", {{"-o", 1}, {"--font", 1}, {"--at", 2}, {"--whole", 0}}},
};

// The command, its one input file and its options, each given at most once.
struct Arguments {
    std::string command;
    std::string input;
    std::map<std::string, std::vector<std::string>> options;
    GridPos at; // the values of --at

    bool has(const std::string& name) const { return options.count(name) != 0; }
    const std::string& value(const std::string& name, std::size_t i = 0) const {
        return options.at(name).at(i);
    }
    [[noreturn]] void fail(const std::string& problem) const {
        throw UsageError{"cmap " + command + ": " + problem};
    }
};

bool isHelp(std::string_view arg) {
    return arg == "-h" || arg == "--help";
}

std::int32_t coordinate(const Arguments& args, std::size_t i) {
    const std::string& text = args.value("--at", i);
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        args.fail("--at needs two whole numbers X Y, found '" + text + "'");
    }
    return value;
}

void require(const Arguments& args, const std::string& option, const std::string& problem) {
    if (!args.has(option)) {
        args.fail(problem);
    }
}

Arguments parseArguments(const std::vector<std::string>& argv) {
    if (argv.empty()) {
        throw UsageError{"cmap: no command given"};
    }
    if (isHelp(argv[0])) {
        throw HelpRequest();
    }
    const auto command = kCommands.find(argv[0]);
    if (command == kCommands.end()) {
        throw UsageError{"cmap: unknown command '" + argv[0] + "'"};
    }
    Arguments parsed;
    parsed.command = argv[0];
    for (std::size_t i = 1; i < argv.size(); ++i) {
        const std::string& arg = argv[i];
        if (isHelp(arg)) {
            throw HelpRequest();
        }
        if (arg.empty()) {
            parsed.fail("an empty argument");
        }
        if (arg[0] != '-') {
            if (!parsed.input.empty()) {
                parsed.fail("more than one input file ('" + parsed.input + "' and '" + arg + "')");
            }
            parsed.input = arg;
            continue;
        }
        const auto option = command->second.find(arg);
        if (option == command->second.end()) {
            parsed.fail("unknown option '" + arg + "'");
        }
        if (parsed.has(arg)) {
            parsed.fail(arg + " is given twice");
        }
        const auto count = static_cast<std::size_t>(option->second);
        if (argv.size() - 1 - i < count) {
            parsed.fail(arg + (count == 1 ? " needs a value" : " needs two values X Y"));
        }
        parsed.options[arg] = {argv.begin() + static_cast<std::ptrdiff_t>(i + 1),
                               argv.begin() + static_cast<std::ptrdiff_t>(i + 1 + count)};
        i += count;
    }
    if (parsed.input.empty()) {
        parsed.fail(parsed.command == "build" ? "no source file given" : "no map file given");
    }
    if (parsed.command == "build") {
        require(parsed, "-o", "no output file given (-o FILE.cmap)");
    } else if (parsed.command == "render") {
        require(parsed, "--font", "no font given (--font terminal.png)");
        require(parsed, "-o", "no output file given (-o FILE.png)");
        if (parsed.has("--at") && parsed.has("--whole")) {
            parsed.fail("--at and --whole cannot be given together");
        }
        if (parsed.has("--at")) {
            parsed.at = {coordinate(parsed, 0), coordinate(parsed, 1)};
        }
    }
    return parsed;
}

void build(const Arguments& args) {
    const level::Level level = level::parseLevel(util::readFile(args.input), args.input);
    for (const std::string& warning : level.warnings) {
        std::cerr << warning << '\n';
    }
    util::replaceFile(args.value("-o"), level::encodeLevel(level.map, level.entities));
}

// Warnings go to the error stream, so that a dump on standard output stays valid source.
void warnUnknownChunk(std::string_view tag) {
    std::cerr << "cmap: warning: skipping unknown map chunk " << tag << '\n';
}

void dump(const Arguments& args) {
    const level::Level level = level::loadLevel(args.input, warnUnknownChunk);
    const std::string text = level::printLevel(level.map, level.entities);
    if (args.has("-o")) {
        util::replaceFile(args.value("-o"), text);
    } else {
        std::cout << text << std::flush;
    }
}

// The picture's size is checked before anything of that size is made.
void render(const Arguments& args) {
    const FontAtlas atlas(util::readPng(args.value("--font")));
    level::Level level = level::loadLevel(args.input, warnUnknownChunk);
    const level::LevelWindow window =
        args.has("--whole") ? level::wholeMap(level.map) : level::gameWindow(args.at);
    level::pictureSize(window, atlas.glyphWidth(), atlas.glyphHeight());
    util::writePng(args.value("-o"),
                   rasterize(level::renderLevel(level.map, level.entities, window), atlas));
}

void run(const std::vector<std::string>& argv) {
    const Arguments args = parseArguments(argv);
    if (args.command == "build") {
        build(args);
    } else if (args.command == "dump") {
        dump(args);
    } else {
        render(args);
    }
}

} // namespace

int main(int argc, char** argv) {
    try {
        run({argv + 1, argv + argc});
    } catch (const HelpRequest&) {
        std::cout << kUsage << std::flush;
    } catch (const UsageError& e) {
        std::cerr << e.problem << '\n' << kUsage;
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "cmap: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
