-- The player's lantern: a light that follows the player once Bram has given it, warm and
-- steady at first, red and larger once the Ember is in it; its flame stirs a little.
local State = require("lib.state")

local Lantern = {}

local kFlame = {colour = {255, 200, 120}, radius = 11}
local kEmber = {colour = {255, 130, 60}, radius = 14}

function Lantern.look()
    return State.hasEmber and kEmber or kFlame
end

-- Lights the lantern on the player, when the player has it.
function Lantern.equip(player)
    if not State.hasLantern then
        return
    end
    local look = Lantern.look()
    Cindra.Entity.createComponent(player, "light")
    Cindra.Entity.setLightColor(player, look.colour)
    Cindra.Entity.setLightRadius(player, look.radius)
    Cindra.Entity.setLightFalloff(player, 1)
end

-- Called every frame by the player: the flame breathes.
function Lantern.flicker(player)
    if State.hasLantern then
        local t = Cindra.getWorldTime()
        Cindra.Entity.setLightFade(player, 240 + math.floor(16 * Cindra.Perlin.noise1D(t * 2.5)))
    end
end

return Lantern
