#include "playtest/KeyScript.hpp"

#include "playtest/Cp437.hpp"
#include "playtest/KeyNames.hpp"

#include <charconv>
#include <fstream>
#include <limits>
#include <sstream>

namespace cindra::playtest {
namespace {

constexpr std::int64_t kMaxFrames = 10'000'000;
constexpr std::int64_t kMinCoordinate = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kMaxCoordinate = std::numeric_limits<std::int32_t>::max();

// What is wrong with one line; parseKeyScript puts the file and line in front.
struct LineError {
    std::string what;
};

std::string inQuotes(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

struct Token {
    std::string text;
    bool quoted = false;
};

// Reads the string whose opening quote is at line[at]; returns the index after the closing one.
std::size_t readQuoted(std::string_view line, std::size_t at, std::string& out) {
    for (std::size_t i = at + 1; i < line.size(); ++i) {
        if (line[i] == '"') {
            return i + 1;
        }
        if (line[i] == '\\') {
            if (i + 1 == line.size() || (line[i + 1] != '"' && line[i + 1] != '\\')) {
                throw LineError{"unknown escape " + inQuotes(line.substr(i, 2)) + " in a string"};
            }
            ++i;
        }
        out += line[i];
    }
    throw LineError{"unterminated string"};
}

// The words of line up to a comment.
std::vector<Token> tokenize(std::string_view line) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (true) {
        while (i < line.size() && isBlank(line[i])) {
            ++i;
        }
        if (i == line.size() || line[i] == '#') {
            return tokens;
        }
        Token token;
        if (line[i] == '"') {
            token.quoted = true;
            i = readQuoted(line, i, token.text);
            if (i < line.size() && !isBlank(line[i]) && line[i] != '#') {
                throw LineError{"a closing quote must end its word"};
            }
        } else {
            while (i < line.size() && !isBlank(line[i]) && line[i] != '#') {
                if (line[i] == '"') {
                    throw LineError{"a quote inside the word " + inQuotes(token.text + '"')};
                }
                token.text += line[i++];
            }
        }
        tokens.push_back(std::move(token));
    }
}

// Every character of text, checked to be well-formed UTF-8.
std::u32string decodeAll(std::string_view text, const std::string& what) {
    std::u32string out;
    while (!text.empty()) {
        const auto decoded = decodeUtf8(text);
        if (!decoded) {
            throw LineError{what + " is not valid UTF-8"};
        }
        out += decoded->value;
        text.remove_prefix(decoded->length);
    }
    return out;
}

int glyphOf(char32_t c) {
    if (const auto glyph = unicodeToCp437(c)) {
        return *glyph;
    }
    std::string shown;
    appendUtf8(shown, c);
    throw LineError{inQuotes(shown) + " has no code page 437 glyph"};
}

std::u16string typedCharacters(std::string_view text) {
    std::u16string out;
    for (const char32_t c : decodeAll(text, "type text")) {
        if (c > 0xFFFF) {
            std::string shown;
            appendUtf8(shown, c);
            throw LineError{"cannot type " + inQuotes(shown) +
                            ": key events carry characters up to U+FFFF"};
        }
        out += static_cast<char16_t>(c);
    }
    return out;
}

std::string checkedFile(const Token& token, std::string_view command, std::string_view ending) {
    const std::string& file = token.text;
    if (!file.ends_with(ending) || file.size() == ending.size()) {
        throw LineError{std::string(command) + " needs a " + std::string(ending) + " file, not " +
                        inQuotes(file)};
    }
    const std::filesystem::path path(file);
    if (path.is_absolute() || path.has_root_path()) {
        throw LineError{"file name " + inQuotes(file) + " must be relative"};
    }
    for (const auto& component : path) {
        if (component == "..") {
            throw LineError{"file name " + inQuotes(file) + " must not leave the output folder"};
        }
    }
    return file;
}

} // namespace

namespace {

// The words after a command, taken one by one; each step says what it needs when a word is
// missing.
class Words {
public:
    explicit Words(std::vector<Token> tokens) : tokens_(std::move(tokens)) {}

    bool atEnd() const { return next_ == tokens_.size(); }
    bool nextIs(std::string_view word) const {
        return !atEnd() && !tokens_[next_].quoted && tokens_[next_].text == word;
    }
    const Token& take(const std::string& missing) {
        if (atEnd()) {
            throw LineError{missing};
        }
        return tokens_[next_++];
    }
    std::int64_t number(const std::string& missing, const std::string& what, std::int64_t lo,
                        std::int64_t hi) {
        const std::string& text = take(missing).text;
        std::int64_t value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (text.empty() || end != text.data() + text.size()) {
            throw LineError{what + " " + inQuotes(text) + " is not a number"};
        }
        if (error == std::errc::result_out_of_range || value < lo || value > hi) {
            throw LineError{what + " " + text + " is out of range " + std::to_string(lo) + ".." +
                            std::to_string(hi)};
        }
        return value;
    }
    Cell cell(const std::string& missing) {
        const auto x = number(missing, "column", kMinCoordinate, kMaxCoordinate);
        const auto y = number(missing, "row", kMinCoordinate, kMaxCoordinate);
        return {static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)};
    }
    util::Color color(const std::string& missing) {
        const auto r = number(missing, "colour", 0, 255);
        const auto g = number(missing, "colour", 0, 255);
        const auto b = number(missing, "colour", 0, 255);
        return util::Color::fromInts(r, g, b);
    }
    void finish() {
        if (!atEnd()) {
            throw LineError{"unexpected " + inQuotes(tokens_[next_].text)};
        }
    }

private:
    std::vector<Token> tokens_;
    std::size_t next_ = 0;
};

int buttonOf(const Token& token) {
    static const std::vector<std::pair<std::string_view, int>> kNames = {
        {"left", 1}, {"middle", 2}, {"right", 3}, {"wheelup", 4}, {"wheeldown", 5}};
    for (const auto& [name, button] : kNames) {
        if (token.text == name) {
            return button;
        }
    }
    if (token.text.find_first_not_of("-0123456789") != std::string::npos) {
        throw LineError{"unknown button " + inQuotes(token.text)};
    }
    Words digits({token});
    return static_cast<int>(digits.number("", "button", 1, 5));
}

// A bare number is a glyph code; anything else is the one character the glyph looks like.
int glyphArgument(const Token& token) {
    const bool digits = token.text.find_first_of("0123456789") != std::string::npos &&
                        token.text.find_first_not_of("-0123456789") == std::string::npos;
    if (digits && !token.quoted) {
        Words number({token});
        return static_cast<int>(number.number("", "glyph", 0, 255));
    }
    const std::u32string characters = decodeAll(token.text, "glyph");
    if (characters.size() != 1) {
        throw LineError{"glyph " + inQuotes(token.text) + " is not one character"};
    }
    return glyphOf(characters[0]);
}

Action expectCell(Words& words) {
    const std::string missing = "expect cell needs a column, a row and a glyph";
    ExpectCell expect{words.cell(missing), glyphArgument(words.take(missing)), {}, {}};
    while (!words.atEnd()) {
        const bool fg = words.nextIs("fg");
        if (!fg && !words.nextIs("bg")) {
            words.finish();
        }
        auto& slot = fg ? expect.foreground : expect.background;
        const std::string name = fg ? "fg" : "bg";
        if (slot) {
            throw LineError{name + " is given twice"};
        }
        words.take("");
        slot = words.color(name + " needs red, green and blue");
    }
    return expect;
}

Action expectText(Words& words) {
    const std::string missing = "expect text needs a column, a row and text";
    ExpectText expect{words.cell(missing), words.take(missing).text, {}};
    if (expect.text.empty()) {
        throw LineError{"expect text needs text"};
    }
    for (const char32_t c : decodeAll(expect.text, "expected text")) {
        expect.glyphs.push_back(glyphOf(c));
    }
    return expect;
}

Action expectEntity(Words& words) {
    const std::string missing = "expect entity needs a name, at, a column and a row";
    ExpectEntity expect{words.take(missing).text, {}};
    if (!words.atEnd() && !words.nextIs("at")) {
        throw LineError{"expect entity needs \"at\" before the cell"};
    }
    words.take(missing);
    expect.at = words.cell(missing);
    return expect;
}

Action expectation(Words& words) {
    const Token& kind = words.take("expect needs cell, text, line, entity or sound");
    if (kind.text == "cell") {
        return expectCell(words);
    }
    if (kind.text == "text") {
        return expectText(words);
    }
    if (kind.text == "line") {
        return ExpectLine{words.take("expect line needs text").text};
    }
    if (kind.text == "entity") {
        return expectEntity(words);
    }
    if (kind.text == "sound") {
        return ExpectSound{words.take("expect sound needs a file name").text};
    }
    throw LineError{"unknown expectation " + inQuotes(kind.text)};
}

Action keyAction(Words& words, const std::string& command, KeyAction action) {
    const Token& name = words.take(command + " needs a key");
    const auto code = keyCode(name.text);
    if (!code) {
        throw LineError{"unknown key " + inQuotes(name.text)};
    }
    return Key{action, *code};
}

Action click(Words& words) {
    Click result{words.cell("click needs a column and a row"), 1};
    if (!words.atEnd()) {
        result.button = buttonOf(words.take(""));
    }
    return result;
}

// Every command but type, whose text is not split into words.
Action command(const std::string& name, Words& words) {
    if (name == "wait") {
        const auto frames = words.number("wait needs a frame count", "frame count", 0, kMaxFrames);
        return Wait{static_cast<std::int32_t>(frames)};
    }
    if (name == "press" || name == "release" || name == "tap") {
        const auto action = name == "press"     ? KeyAction::Press
                            : name == "release" ? KeyAction::Release
                                                : KeyAction::Tap;
        return keyAction(words, name, action);
    }
    if (name == "mouse") {
        return MouseMove{words.cell("mouse needs a column and a row")};
    }
    if (name == "click") {
        return click(words);
    }
    if (name == "shot") {
        return Shot{checkedFile(words.take("shot needs a file name"), name, ".png")};
    }
    if (name == "dump") {
        return Dump{checkedFile(words.take("dump needs a file name"), name, ".txt")};
    }
    if (name == "expect") {
        return expectation(words);
    }
    if (name == "quit") {
        return Quit{};
    }
    throw LineError{"unknown command " + inQuotes(name)};
}

// type's text: one quoted string, or the rest of the line after one blank, up to a comment.
Action typeCommand(std::string_view rest) {
    if (rest.empty() || !isBlank(rest[0])) {
        throw LineError{"type needs text"};
    }
    rest.remove_prefix(1);
    if (!rest.empty() && rest[0] == '"') {
        Words words(tokenize(rest));
        const Type typed{typedCharacters(words.take("").text)};
        words.finish();
        return typed;
    }
    rest = rest.substr(0, rest.find('#'));
    while (!rest.empty() && isBlank(rest.back())) {
        rest.remove_suffix(1);
    }
    if (rest.empty()) {
        throw LineError{"type needs text"};
    }
    return Type{typedCharacters(rest)};
}

// The command of one line; none for a blank or comment line.
std::optional<Action> parseLine(std::string_view line) {
    std::size_t start = 0;
    while (start < line.size() && isBlank(line[start])) {
        ++start;
    }
    std::size_t end = start;
    while (end < line.size() && !isBlank(line[end]) && line[end] != '#') {
        ++end;
    }
    if (start == end) {
        return std::nullopt;
    }
    const std::string name(line.substr(start, end - start));
    if (name == "type") {
        return typeCommand(line.substr(end));
    }
    Words words(tokenize(line.substr(end)));
    Action action = command(name, words);
    words.finish();
    return action;
}

} // namespace

std::vector<Command> parseKeyScript(std::string_view text, const std::string& fileName) {
    std::vector<Command> commands;
    int lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const std::size_t newline = text.find('\n');
        std::string_view line = text.substr(0, newline);
        text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        try {
            if (auto action = parseLine(line)) {
                commands.push_back({lineNumber, std::move(*action)});
            }
        } catch (const LineError& error) {
            throw KeyScriptError(fileName + ":" + std::to_string(lineNumber) + ": " + error.what);
        }
    }
    return commands;
}

std::vector<Command> readKeyScript(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    if (!in) {
        throw KeyScriptError("Cannot read key script " + path.string());
    }
    text << in.rdbuf(); // an empty file sets failbit on text, and is an empty script
    if (in.bad()) {
        throw KeyScriptError("Cannot read key script " + path.string());
    }
    return parseKeyScript(text.str(), path.string());
}

} // namespace cindra::playtest
