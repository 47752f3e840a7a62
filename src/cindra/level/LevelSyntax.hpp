// The lexical pieces of the level source text that the map tool compiles: splitting a line
// into tokens, and reading and writing numbers, colours, glyphs and quoted texts. Problems
// are reported as cindra::Error with a message that the parser prefixes with file and line.
#pragma once

#include "cindra/util/Color.hpp"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace cindra::level {

struct Token {
    enum class Kind { Word, Text, Char };
    Kind kind = Kind::Word;
    // Word: the characters as written; Text: the decoded bytes; Char: the one byte.
    std::string value;
};

// Walks the tokens of one statement.
class TokenCursor {
public:
    explicit TokenCursor(std::vector<Token> tokens) : tokens_(std::move(tokens)) {}

    bool atEnd() const { return next_ >= tokens_.size(); }
    // The next token; a missing one is an error "missing <what>".
    const Token& take(std::string_view what);
    // The next token if it is a word (a keyword or a number); otherwise an error naming it.
    const std::string& takeWord(std::string_view what);
    // The next token if it is a quoted text.
    const std::string& takeText(std::string_view what);

private:
    std::vector<Token> tokens_;
    std::size_t next_ = 0;
};

// Splits a line at blanks into words, quoted texts ("..." with the escapes \\ \" \n \r \t
// and \xHH) and character literals ('c', any one character between single quotes).
std::vector<Token> tokenize(std::string_view line);

// A decimal integer with optional minus sign, or 0x followed by hex digits, within
// [min, max]; what names the value in the error message.
std::int64_t parseInteger(const Token& token, std::int64_t min, std::int64_t max,
                          std::string_view what);
// #rrggbb (alpha 255) or #rrggbbaa.
util::Color parseColor(const Token& token, std::string_view what);
// A glyph code: an integer within [0, max] or a character literal.
std::uint32_t parseGlyph(const Token& token, std::uint32_t max);

// The counterparts used when printing a level.
std::string formatColor(util::Color c);
std::string formatGlyph(std::uint32_t glyph);
std::string quote(std::string_view text);

} // namespace cindra::level
