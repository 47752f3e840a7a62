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
    if homes[self] then
        Wanderer.roamAndFlee(self, homes[self], {
            calm = 3, flee = 8, away = 3, restless = 0.01,
            scared = function(here, at) return Proximity.steps(here, at) <= 4 end,
        })
    end
end

function Hen.destroy(self)
    homes[self] = nil
end

return Hen
