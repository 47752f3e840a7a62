#include "cindra/logic/ScriptClock.hpp"

#include "cindra/logic/Lua.hpp"

#include <gtest/gtest.h>
#include <lua.hpp>

#include <string>

namespace {

std::string eval(cindra::logic::Lua& lua, const std::string& code) {
    lua.runString("return tostring(" + code + ")", "clock", 0, 1, true);
    std::string result = lua_tostring(lua.state(), -1);
    lua_pop(lua.state(), 1);
    return result;
}

TEST(ScriptClock, TheScriptsTimeFollowsTheGivenClockAndConversionsStayAsTheyWere) {
    cindra::logic::Lua lua;
    lua.runString("realTime = os.time", "keep", 0, 0, true);
    double seconds = 2.75;
    const std::function<double()> clock = [&] { return seconds; };
    cindra::logic::useScriptClock(lua, clock);
    EXPECT_EQ(eval(lua, "os.clock()"), "2.75");
    EXPECT_EQ(eval(lua, "os.time()"), "946684802");
    EXPECT_EQ(eval(lua, "os.date('!%Y-%m-%d %H:%M:%S')"), "2000-01-01 00:00:02");
    seconds = 3601.0;
    EXPECT_EQ(eval(lua, "os.date('!%H:%M:%S')"), "01:00:01");
    EXPECT_EQ(eval(lua, "os.date('!%H:%M', 60)"), "00:01");
    const std::string table = "{year = 2001, month = 2, day = 3, hour = 12}";
    EXPECT_EQ(eval(lua, "os.time(" + table + ") == realTime(" + table + ")"), "true");
}

} // namespace
