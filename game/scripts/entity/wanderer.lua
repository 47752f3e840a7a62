-- A creature that drifts from cell to cell of a region (named by its argument), pausing a
-- little at each place it reaches.
local Wanderer = {}

local homes = {}

function Wanderer.init(self, region)
    local cells = {}
    for _, cell in ipairs(Cindra.Map.getRegionCells(region) or {}) do
        if Cindra.Map.isWalkable(cell) then
            cells[#cells + 1] = cell
        end
    end
    homes[self] = #cells > 0 and cells or nil
    Cindra.Entity.setSpeed(self, 4)
end

local function wait(seconds)
    local until_ = Cindra.getWorldTime() + seconds
    while Cindra.getWorldTime() < until_ do
        coroutine.yield()
    end
end

function Wanderer.think(self)
    local cells = homes[self]
    if not cells then
        return
    end
    while true do
        local target = cells[math.random(#cells)]
        local steps = 0
        while not Cindra.Entity.moveTowards(self, target) and steps < 400 do
            steps = steps + 1
            coroutine.yield()
        end
        wait(0.5 + math.random() * 1.5)
    end
end

function Wanderer.destroy(self)
    homes[self] = nil
end

return Wanderer
