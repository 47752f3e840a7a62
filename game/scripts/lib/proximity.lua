-- For entities that react when the player comes close: a sign that shows its text, a
-- character who speaks.
local Proximity = {}

-- Whether cells a and b are the same or neighbours, diagonals included.
function Proximity.nextTo(a, b)
    return math.abs(a[1] - b[1]) <= 1 and math.abs(a[2] - b[2]) <= 1
end

-- The body of a think function: calls onApproach(self) each time the player steps next to
-- self, and not again until the player has gone away and come back. onApproach may open
-- boxes. Never returns.
function Proximity.watch(self, onApproach)
    local near = false
    while true do
        local player = Cindra.Entity.getEntityByName("player")
        local close = player ~= -1 and Proximity.nextTo(Cindra.Entity.getPosition(self),
                                                        Cindra.Entity.getPosition(player))
        if close and not near then
            onApproach(self)
        end
        near = close
        coroutine.yield()
    end
end

return Proximity
