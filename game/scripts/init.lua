-- Marrowfield: the start-up module. It runs once, before the first map is loaded.
local State = require("lib.state")
local Ambient = require("lib.ambient")
local Levels = require("lib.levels")

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

-- Runs after every map load, once the player exists: the player arrives in the region the
-- last exit named ("start" on the first map), the level sets its light and music, and the
-- view follows.
function initWorld()
    -- Each level names itself in its region "level" (config.txt's start may have begun the
    -- game on any of them).
    State.map = Cindra.Map.getRegionParameter("level") or State.map
    local player = Cindra.Entity.getEntityByName("player")
    local arrival = State.arrival
    if Cindra.Map.getRegionParameter(arrival) == nil then
        arrival = "start"
    end
    Cindra.Entity.setPosition(player, Cindra.Map.getRegionCenter(arrival))
    Ambient.reset()
    Levels.current().enter()
    Cindra.Map.setViewPoint(Cindra.Entity.getPosition(player))
end

-- Every frame the game advances: fades of the ambient light.
function update(dt)
    Ambient.update(dt)
end
