-- The village: dusk when the game starts, night while the Ember is away, dawn at the end.
local State = require("lib.state")
local Ambient = require("lib.ambient")
local Music = require("lib.music")

local Intro = {}

Intro.exits = {
    {
        region = "well", map = "hollow.cmap", arrival = "from above",
        allowed = function() return State.hasLantern end,
        refused = function(player)
            Cindra.Entity.setPosition(player, Cindra.Map.getRegionCenter("from the well"))
            Cindra.textBox({-1, -1}, 44,
                "The stair falls away into utter darkness. You will need a light to go down.")
        end,
    },
}

function Intro.enter()
    if State.ended then
        Ambient.set({230, 200, 170})
        Music.play("music/dawn.wav")
    else
        if State.hasLantern then
            Ambient.set({70, 64, 110})   -- night has fallen while you were below
        end
        Music.play("music/marrowfield.wav")
    end
end

return Intro
