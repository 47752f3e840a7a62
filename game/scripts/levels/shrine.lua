-- The shrine of the Ember: red and dim, and dimmer once the Ember is taken.
local State = require("lib.state")
local Ambient = require("lib.ambient")
local Music = require("lib.music")

local Shrine = {}

Shrine.exits = {
    {region = "up", map = "hollow.cmap", arrival = "from below"},
}

function Shrine.enter()
    if State.hasEmber then
        Ambient.set({22, 12, 12})
    end
    Music.play("music/shrine.wav")
end

return Shrine
