#include "playtest/KeyScript.hpp"

#include "support/ErrorText.hpp"

#include <gtest/gtest.h>

namespace cindra::playtest {
namespace {

struct GoodLine {
    std::string line;
    Action action;
};

TEST(KeyScript, ParsesEachCommand) {
    const util::Color white(255, 255, 255);
    const std::vector<GoodLine> cases = {
        {"wait 0", Wait{0}},
        {"\twait   10000000  # the longest wait", Wait{10'000'000}},
        {"press lshift", Key{KeyAction::Press, 304}},
        {"release \"#\"", Key{KeyAction::Release, '#'}},
        {"tap pageup", Key{KeyAction::Tap, 280}},
        {"tap [5]", Key{KeyAction::Tap, 261}},
        {"type hello world  # greet", Type{u"hello world"}},
        {"type  lead", Type{u" lead"}},
        {"type \"a # \\\"b\\\" \\\\ \" # quoted keeps blanks", Type{u"a # \"b\" \\ "}},
        {"type é€", Type{u"é€"}},
        {"mouse -2147483648 2147483647", MouseMove{{INT32_MIN, INT32_MAX}}},
        {"click 3 4", Click{{3, 4}, 1}},
        {"click 3 4 right", Click{{3, 4}, 3}},
        {"click 3 4 5", Click{{3, 4}, 5}},
        {"shot out/start.png", Shot{"out/start.png"}},
        {"dump ./screen.txt", Dump{"./screen.txt"}},
        {"expect cell 1 2 5", ExpectCell{{1, 2}, 5, {}, {}}},
        {"expect cell 1 2 \"5\"", ExpectCell{{1, 2}, '5', {}, {}}},
        {"expect cell 1 2 - bg 1 2 3 fg 255 255 255",
         ExpectCell{{1, 2}, '-', white, util::Color(1, 2, 3)}},
        {"expect cell 0 0 ┌ fg 255 255 255", ExpectCell{{0, 0}, 218, white, {}}},
        {"expect cell 0 0 \" \"", ExpectCell{{0, 0}, 32, {}, {}}},
        {"expect text 4 5 \"└─ Hi\"", ExpectText{{4, 5}, "└─ Hi", {192, 196, 32, 'H', 'i'}}},
        {"expect line \"Average FPS: 60\"", ExpectLine{"Average FPS: 60"}},
        {"expect line \"\"", ExpectLine{""}},
        {"expect entity \"keeper of the pool\" at 7 -8",
         ExpectEntity{"keeper of the pool", {7, -8}}},
        {"expect sound sounds/chime.wav", ExpectSound{"sounds/chime.wav"}},
        {"quit\r", Quit{}},
    };
    for (const GoodLine& c : cases) {
        const auto commands = parseKeyScript("\n# header\n   \n" + c.line + "\n", "k.txt");
        ASSERT_EQ(commands.size(), 1u) << c.line;
        EXPECT_EQ(commands[0].line, 4) << c.line;
        EXPECT_TRUE(commands[0].action == c.action) << c.line;
    }
}

TEST(KeyScript, RejectsMalformedLinesWithFileAndLine) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"jump", "unknown command \"jump\""},
        {"wait", "wait needs a frame count"},
        {"wait # soon", "wait needs a frame count"},
        {"wait 1x", "frame count \"1x\" is not a number"},
        {"wait 10000001", "frame count 10000001 is out of range 0..10000000"},
        {"wait -1", "frame count -1 is out of range 0..10000000"},
        {"wait 1 2", "unexpected \"2\""},
        {"press uo", "unknown key \"uo\""},
        {"tap #", "tap needs a key"},
        {"release", "release needs a key"},
        {"type", "type needs text"},
        {"type   # nothing", "type needs text"},
        {"type \"ab", "unterminated string"},
        {"type \"a\" b", "unexpected \"b\""},
        {"type \"a\\n\"", "unknown escape \"\\n\" in a string"},
        {"type \xff", "type text is not valid UTF-8"},
        {"type 😀", "cannot type \"😀\": key events carry characters up to U+FFFF"},
        {"mouse 1", "mouse needs a column and a row"},
        {"mouse 2147483648 0", "column 2147483648 is out of range -2147483648..2147483647"},
        {"mouse 0 99999999999999999999",
         "row 99999999999999999999 is out of range -2147483648..2147483647"},
        {"click 1 1 6", "button 6 is out of range 1..5"},
        {"click 1 1 back", "unknown button \"back\""},
        {"shot", "shot needs a file name"},
        {"shot a.txt", "shot needs a .png file, not \"a.txt\""},
        {"shot /tmp/a.png", "file name \"/tmp/a.png\" must be relative"},
        {"dump out/../../a.txt", "file name \"out/../../a.txt\" must not leave the output folder"},
        {"expect", "expect needs cell, text, line, entity or sound"},
        {"expect colour", "unknown expectation \"colour\""},
        {"expect cell 1 2", "expect cell needs a column, a row and a glyph"},
        {"expect cell 1 2 256", "glyph 256 is out of range 0..255"},
        {"expect cell 1 2 ab", "glyph \"ab\" is not one character"},
        {"expect cell 1 2 €", "\"€\" has no code page 437 glyph"},
        {"expect cell 1 2 x fg 1 2", "fg needs red, green and blue"},
        {"expect cell 1 2 x bg 1 2 300", "colour 300 is out of range 0..255"},
        {"expect cell 1 2 x fg 1 2 3 fg 1 2 3", "fg is given twice"},
        {"expect cell 1 2 x red", "unexpected \"red\""},
        {"expect text 1 2 \"\"", "expect text needs text"},
        {"expect text 1 2 a\"b\"", "a quote inside the word \"a\"\""},
        {"expect line \"a\"b", "a closing quote must end its word"},
        {"expect entity moth 1 2", "expect entity needs \"at\" before the cell"},
        {"expect entity moth at 1", "expect entity needs a name, at, a column and a row"},
        {"expect sound", "expect sound needs a file name"},
        {"quit now", "unexpected \"now\""},
    };
    for (const auto& [line, what] : cases) {
        const std::string text = "wait 1\r\n\n" + line; // a lambda cannot capture a binding
        EXPECT_EQ(test::errorOf([&] { parseKeyScript(text, "keys.txt"); }), "keys.txt:3: " + what);
    }
}

} // namespace
} // namespace cindra::playtest
