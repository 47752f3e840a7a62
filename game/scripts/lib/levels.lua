-- The module of each map: levels/intro.lua for "intro.cmap", with the map's exits and what
-- it does when the player arrives (its music and light).
local State = require("lib.state")

local Levels = {}

function Levels.current()
    return require("levels." .. string.gsub(State.map, "%.cmap$", ""))
end

return Levels
