// A clock for the scripts' os.time, os.clock and os.date that a tool drives instead of the
// wall clock, so that a game which seeds math.random from the time runs the same every time.
#pragma once

#include <ctime>
#include <functional>

namespace cindra::logic {

class Lua;

// The time os.time gives at second 0 of such a clock: 2000-01-01 00:00:00 UTC.
inline constexpr std::time_t kScriptClockEpoch = 946684800;

// From now on os.clock() is seconds(), os.time() is kScriptClockEpoch plus its whole seconds,
// and os.date(format) formats that time; os.time(table) and os.date(format, time) convert
// as before. seconds must outlive the Lua state. Raises LuaError when os is not a table.
void useScriptClock(Lua& lua, const std::function<double()>& seconds);

} // namespace cindra::logic
