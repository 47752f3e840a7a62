-- The Ember on its altar: a great flame whose strength and colour move with Perlin noise.
-- Taken, it leaves a glow of coals, and the lantern burns red with it.
local Lantern = require("lib.lantern")
local Proximity = require("lib.proximity")
local Music = require("lib.music")
local State = require("lib.state")

local Ember = {}

local function burnLow(self)
    Cindra.Entity.setChar(self, 249)
    Cindra.Entity.setColor(self, {120, 40, 20})
    Cindra.Entity.setLightRadius(self, 4)
    Cindra.Entity.setLightColor(self, {160, 40, 10})
    Cindra.Entity.setLightFalloff(self, 1)
end

function Ember.init(self)
    Cindra.Entity.createComponent(self, "light")
    Cindra.Entity.setLightRadius(self, 22)
    Cindra.Entity.setLightFalloff(self, 2)
    if State.hasEmber then
        burnLow(self)
    end
end

local function offer(self)
    local answer = Cindra.dialogBox({-1, -1}, 46,
        "The Ember burns on the altar without wood or oil. Take it?",
        {"Take the Ember.", "Leave it."})
    if answer ~= 0 then
        return
    end
    State.hasEmber = true
    Cindra.Audio.playSound("sounds/pickup.wav")
    burnLow(self)
    local player = Proximity.player()
    local look = Lantern.look()
    Cindra.Entity.setLightColor(player, look.colour)
    Cindra.Entity.setLightRadius(player, look.radius)
    Cindra.setAmbientLight({22, 12, 12})
    Music.stop()
    Cindra.textBox({-1, -1}, 44, "You lift the Ember into your lantern. It is warm as a "
        .. "hand. Now carry it home to the pool of Marrowfield.")
end

local function flicker(self)
    if not State.hasEmber then
        local t = Cindra.getWorldTime()
        Cindra.Entity.setLightFade(self, 200 + math.floor(56 * Cindra.Perlin.noise1D(t * 2)))
        local shift = Cindra.Perlin.noise2D(t * 0.7, 3.5)
        Cindra.Entity.setLightColor(self, {255, 150 + math.floor(60 * shift), 60})
    end
end

function Ember.think(self)
    Proximity.watch(self, function()
        if not State.hasEmber then
            offer(self)
        end
    end, flicker)
end

return Ember
