-- Marrowfield: the start-up module. It runs once, before the first map is loaded.

-- Positions and colours from the engine carry GridPos as their metatable, so they add,
-- subtract, compare and print as positions.
GridPos = {}
GridPos.__index = GridPos

function GridPos.new(x, y)
    return setmetatable({x, y}, GridPos)
end

function GridPos.__add(a, b)
    return GridPos.new(a[1] + b[1], a[2] + b[2])
end

function GridPos.__sub(a, b)
    return GridPos.new(a[1] - b[1], a[2] - b[2])
end

function GridPos.__eq(a, b)
    return a[1] == b[1] and a[2] == b[2]
end

function GridPos.__tostring(p)
    return "(" .. p[1] .. "," .. p[2] .. ")"
end

math.randomseed(os.time())

-- Runs after every map load, once the player exists: the player starts in the region
-- "start" when the map has one, and the view follows.
function initWorld()
    local player = Cindra.Entity.getEntityByName("player")
    if Cindra.Map.getRegionCells("start") then
        Cindra.Entity.setPosition(player, Cindra.Map.getRegionCenter("start"))
    end
    Cindra.Map.setViewPoint(Cindra.Entity.getPosition(player))
end
