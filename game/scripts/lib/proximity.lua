-- For entities that react when the player comes close: a sign that shows its text, a
-- character who speaks.
local Proximity = {}

-- Whether cells a and b are the same or neighbours, diagonals included.
function Proximity.nextTo(a, b)
    return math.abs(a[1] - b[1]) <= 1 and math.abs(a[2] - b[2]) <= 1
end

-- The number of steps between a and b when diagonal steps are allowed.
function Proximity.steps(a, b)
    return math.max(math.abs(a[1] - b[1]), math.abs(a[2] - b[2]))
end

-- The cell steps from a straight away from b (along each axis that differs).
function Proximity.awayFrom(a, b, steps)
    local function sign(v)
        return v > 0 and 1 or v < 0 and -1 or 0
    end
    return {a[1] + steps * sign(a[1] - b[1]), a[2] + steps * sign(a[2] - b[2])}
end

-- The player's handle and position, or nil when there is no player.
function Proximity.player()
    local player = Cindra.Entity.getEntityByName("player")
    if player == -1 then
        return nil
    end
    return player, Cindra.Entity.getPosition(player)
end

-- The body of a think function: calls onApproach(self) each time the player steps next to
-- self, and not again until the player has gone away and come back; everyFrame(self), when
-- given, runs first in every frame (to walk, to flicker). Either may open boxes. Never
-- returns.
function Proximity.watch(self, onApproach, everyFrame)
    local near = false
    while true do
        if everyFrame then
            everyFrame(self)
        end
        local player, at = Proximity.player()
        local close = player ~= nil and Proximity.nextTo(Cindra.Entity.getPosition(self), at)
        if close and not near then
            onApproach(self)
        end
        near = close
        coroutine.yield()
    end
end

return Proximity
