-- Waiting inside think coroutines, in game time (which stands still while a box is open).
local Timing = {}

-- Yields until the given seconds of game time have passed.
function Timing.wait(seconds)
    local untilTime = Cindra.getWorldTime() + seconds
    while Cindra.getWorldTime() < untilTime do
        coroutine.yield()
    end
end

-- Yields until condition() is true; returns at once when it already is.
function Timing.waitUntil(condition)
    while not condition() do
        coroutine.yield()
    end
end

return Timing
