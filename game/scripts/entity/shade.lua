-- A shade: drifts slowly about its region in the dark, and flees from the lantern when it
-- comes within seven steps, with a whisper as it turns.
local Proximity = require("lib.proximity")
local State = require("lib.state")
local Wanderer = require("entity.wanderer")

local Shade = {}

local homes = {}

function Shade.init(self, region)
    homes[self] = Wanderer.walkableCells(region)
end

function Shade.think(self)
    local cells = homes[self]
    if not cells then
        return
    end
    local target = cells[math.random(#cells)]
    local fleeing = false
    while true do
        local player, at = Proximity.player()
        local here = Cindra.Entity.getPosition(self)
        if player and State.hasLantern and Proximity.steps(here, at) <= 7 then
            if not fleeing then
                Cindra.Audio.playSound("sounds/shade.wav")
                fleeing = true
            end
            Cindra.Entity.setSpeed(self, 9)
            Cindra.Entity.moveTowards(self, Proximity.awayFrom(here, at, 4))
        else
            fleeing = false
            Cindra.Entity.setSpeed(self, 2)
            if Cindra.Entity.moveTowards(self, target) then
                target = cells[math.random(#cells)]
            end
        end
        coroutine.yield()
    end
end

function Shade.destroy(self)
    homes[self] = nil
end

return Shade
