-- The Hollow: nearly black; the lantern shows the way.
local Music = require("lib.music")

local Hollow = {}

Hollow.exits = {
    {region = "up", map = "intro.cmap", arrival = "from the well"},
    {region = "down", map = "shrine.cmap", arrival = "from above"},
}

function Hollow.enter()
    Music.play("music/hollow.wav")
end

return Hollow
