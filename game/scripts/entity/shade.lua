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
    if homes[self] then
        Wanderer.roamAndFlee(self, homes[self], {
            calm = 2, flee = 9, away = 4,
            scared = function(here, at)
                return State.hasLantern and Proximity.steps(here, at) <= 7
            end,
            onFlee = function() Cindra.Audio.playSound("sounds/shade.wav") end,
        })
    end
end

function Shade.destroy(self)
    homes[self] = nil
end

return Shade
