-- The brazier by the pool: cold and grey until the Ember is brought to it. Lit, its fire
-- grows, dawn comes, and the game is won.
local Ambient = require("lib.ambient")
local Proximity = require("lib.proximity")
local Spark = require("entity.spark")
local State = require("lib.state")
local Timing = require("lib.timing")
local Music = require("lib.music")

local Brazier = {}

local kDawn = {230, 200, 170}

local function burn(self, radius)
    Cindra.Entity.setChar(self, 234)
    Cindra.Entity.setColor(self, {255, 170, 60})
    Cindra.Entity.setLightColor(self, {255, 180, 90})
    Cindra.Entity.setLightRadius(self, radius)
end

local function light(self)
    Cindra.Audio.playSound("sounds/fanfare.wav")
    Music.play("music/dawn.wav")
    State.ended = true
    for radius = 2, 16 do
        burn(self, radius)
        Timing.wait(0.15)
    end
    Ambient.fadeTo(kDawn, 6)
    for i = 1, 12 do
        Spark.launch(Cindra.Entity.getPosition(self), i)
    end
    Cindra.textBox({-1, -1}, 46, "The Ember catches in the old brazier, and a warm light "
        .. "spreads over the water. Far off, the sky pales towards dawn.")
    Cindra.textBox({-1, -1}, 40, "THE END. Marrowfield is warm again. Thank you for playing!")
end

function Brazier.init(self)
    Cindra.Entity.createComponent(self, "light")
    Cindra.Entity.setLightFalloff(self, 2)
    if State.ended then
        burn(self, 16)
    else
        Cindra.Entity.setLightRadius(self, 1)
        Cindra.Entity.setLightFade(self, 0)
    end
end

function Brazier.think(self)
    if State.ended then
        return
    end
    Proximity.watch(self, function()
        if State.ended then
            return
        end
        if State.hasEmber then
            Cindra.Entity.setLightFade(self, 256)
            light(self)
        else
            Cindra.textBox({-1, -1}, 40, "The brazier is cold. Its bowl is full of grey ash.")
        end
    end)
end

return Brazier
