-- Going from one map to another: the exits of the map now loaded, checked as the player
-- walks, and the change itself.
local State = require("lib.state")

local Travel = {}

-- Leaves for map, arriving in the region arrival there.
function Travel.go(map, arrival)
    Cindra.Audio.playSound("sounds/stairs.wav")
    State.arrival = arrival
    Cindra.changeMap(map)
end

-- exits: a list of {region, map, arrival, allowed = function or nil, refused = function}.
-- Takes the first exit whose region holds the player; an exit that is not allowed calls its
-- refused(player) instead. Returns whether the player left.
function Travel.check(player, exits)
    for _, exit in ipairs(exits) do
        if Cindra.Map.regionContains(exit.region, player) then
            if exit.allowed and not exit.allowed() then
                exit.refused(player)
                return false
            end
            Travel.go(exit.map, exit.arrival)
            return true
        end
    end
    return false
end

return Travel
