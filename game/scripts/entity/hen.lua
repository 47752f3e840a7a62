-- A hen: scratches about its region and runs from the player who comes within four steps.
local Proximity = require("lib.proximity")
local Wanderer = require("entity.wanderer")

local Hen = {}

local homes = {}

function Hen.init(self, region)
    homes[self] = Wanderer.walkableCells(region)
    Cindra.Entity.setSpeed(self, 3)
end

function Hen.think(self)
    local cells = homes[self]
    if not cells then
        return
    end
    local target = cells[math.random(#cells)]
    while true do
        local player, at = Proximity.player()
        if player and Proximity.steps(Cindra.Entity.getPosition(self), at) <= 4 then
            Cindra.Entity.setSpeed(self, 8)
            Cindra.Entity.moveTowards(self, Proximity.awayFrom(Cindra.Entity.getPosition(self), at, 3))
        else
            Cindra.Entity.setSpeed(self, 3)
            if Cindra.Entity.moveTowards(self, target) or math.random() < 0.01 then
                target = cells[math.random(#cells)]
            end
        end
        coroutine.yield()
    end
end

function Hen.destroy(self)
    homes[self] = nil
end

return Hen
