-- A creature that drifts from cell to cell of a region (named by its argument), pausing a
-- little at each place it reaches: moths, bats. Also the roaming of creatures that flee.
local Proximity = require("lib.proximity")
local Timing = require("lib.timing")

local Wanderer = {}

local homes = {}

-- The walkable cells of a region, or nil when it has none.
function Wanderer.walkableCells(region)
    local cells = {}
    for _, cell in ipairs(Cindra.Map.getRegionCells(region) or {}) do
        if Cindra.Map.isWalkable(cell) then
            cells[#cells + 1] = cell
        end
    end
    return #cells > 0 and cells or nil
end

-- Walks towards target for at most limit steps' worth of frames; returns whether it arrived.
function Wanderer.walkTo(self, target, limit)
    for _ = 1, limit do
        if Cindra.Entity.moveTowards(self, target) then
            return true
        end
        coroutine.yield()
    end
    return false
end

-- The life of a creature that flees: it roams cells at how.calm speed, and while
-- how.scared(here, at) holds for the player at `at` it runs how.away steps from the player at
-- how.flee speed, calling how.onFlee (when given) as each flight begins. With how.restless, a
-- chance each frame to choose a new goal before it reaches the one it has. Never returns.
function Wanderer.roamAndFlee(self, cells, how)
    local target = cells[math.random(#cells)]
    local fleeing = false
    while true do
        local player, at = Proximity.player()
        local here = Cindra.Entity.getPosition(self)
        if player and how.scared(here, at) then
            if not fleeing and how.onFlee then
                how.onFlee()
            end
            fleeing = true
            Cindra.Entity.setSpeed(self, how.flee)
            Cindra.Entity.moveTowards(self, Proximity.awayFrom(here, at, how.away))
        else
            fleeing = false
            Cindra.Entity.setSpeed(self, how.calm)
            local arrived = Cindra.Entity.moveTowards(self, target)
            if arrived or (how.restless and math.random() < how.restless) then
                target = cells[math.random(#cells)]
            end
        end
        coroutine.yield()
    end
end

function Wanderer.init(self, region)
    homes[self] = Wanderer.walkableCells(region)
    Cindra.Entity.setSpeed(self, 4)
end

function Wanderer.think(self)
    local cells = homes[self]
    if not cells then
        return
    end
    while true do
        Wanderer.walkTo(self, cells[math.random(#cells)], 400)
        Timing.wait(0.5 + math.random() * 1.5)
    end
end

function Wanderer.destroy(self)
    homes[self] = nil
end

return Wanderer
