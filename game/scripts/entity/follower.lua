-- A dog that follows the player at a couple of steps, and sits when the player stands.
local Proximity = require("lib.proximity")

local Follower = {}

function Follower.think(self)
    while true do
        local player, at = Proximity.player()
        if player and Proximity.steps(Cindra.Entity.getPosition(self), at) > 2 then
            -- a little slower than the player, so it trails behind
            Cindra.Entity.setSpeed(self, Cindra.Entity.getSpeed(player) * 0.9)
            Cindra.Entity.moveTowards(self, at)
        end
        coroutine.yield()
    end
end

return Follower
