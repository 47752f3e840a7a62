-- A creature that drifts from cell to cell of a region (named by its argument), pausing a
-- little at each place it reaches: moths, bats.
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
