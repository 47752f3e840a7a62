#include "cindra/logic/ScriptBinding.hpp"

#include "support/ScriptWorld.hpp"

#include "cindra/Error.hpp"

#include <gtest/gtest.h>

#include <string>

using namespace cindra;
using namespace cindra::logic;

namespace {

std::int32_t zero(World&) {
    return 7;
}
bool one(World&, std::string_view text) {
    return text == "x";
}
util::GridPos two(World&, util::GridPos p, std::int32_t dx) {
    return {p.x + dx, p.y};
}
void three(World&, float, Glyph, util::Color) {
    throw Error("three failed");
}

// Every arity names its function in the count message, converts from the first argument on,
// pushes its result, and turns an engine failure into the Lua error.
TEST(ScriptBinding, DerivesChecksConversionsAndResultsFromTheSignature) {
    test::ScriptWorld game;
    game.level("intro.cmap", test::levelSource(2, 1, "", "..\n"));
    game.start();
    ScriptTable(game.world().getScriptManager().lua(), "T", game.world())
        .bind<"zero", zero>()
        .bind<"one", one>()
        .bind<"two", two>()
        .bind<"three", three>();
    const struct {
        const char* expression;
        const char* result;
    } cases[] = {
        {"T.zero(1)", "Function zero called with 1 arguments; 0 expected."},
        {"T.one()", "Function one called with 0 arguments; 1 expected."},
        {"T.two({1, 2})", "Function two called with 1 arguments; 2 expected."},
        {"T.three(1, 'g')", "Function three called with 2 arguments; 3 expected."},
        {"T.two('a', 'b')", "Value at 1 is not a GridPos."},
        {"T.three(1, 'g', {1, 2, 3})", "three failed"},
        {"T.zero()", "7"},
        {"T.one('x')", "true"},
        {"T.two({1, 2}, 3)[1]", "4"},
    };
    for (const auto& c : cases) {
        game.world().getScriptManager().lua().runString(
            std::string("local ok, r = pcall(function() return ") + c.expression +
                " end) return tostring(r)",
            "test", 0, 1, true);
        EXPECT_EQ(lua_tostring(game.lua(), -1), std::string(c.result)) << c.expression;
        lua_pop(game.lua(), 1);
    }
}

} // namespace
