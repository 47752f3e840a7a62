-- A lamp or torch whose flame stirs: a light of the argument's radius and colour
-- ("RADIUS R G B") whose strength and warmth drift with Perlin noise, each flame on its own
-- stretch of the noise.
local Flame = {}

local flames = {}

function Flame.init(self, argument)
    local radius, r, g, b = string.match(argument or "", "(%d+) (%d+) (%d+) (%d+)")
    local flame = {
        radius = tonumber(radius) or 6,
        colour = {tonumber(r) or 255, tonumber(g) or 170, tonumber(b) or 90},
        phase = (self * 7.31) % 100,
    }
    flames[self] = flame
    Cindra.Entity.createComponent(self, "light")
    Cindra.Entity.setLightRadius(self, flame.radius)
    Cindra.Entity.setLightFalloff(self, 2)
end

function Flame.think(self)
    local flame = flames[self]
    while true do
        local t = Cindra.getWorldTime() * 3 + flame.phase
        local strength = Cindra.Perlin.noise1D(t)
        local warmth = Cindra.Perlin.noise2D(t * 0.5, flame.phase)
        Cindra.Entity.setLightFade(self, 210 + math.floor(40 * strength))
        Cindra.Entity.setLightColor(self, {
            flame.colour[1],
            math.max(0, math.min(255, flame.colour[2] + math.floor(30 * warmth))),
            flame.colour[3],
        })
        coroutine.yield()
    end
end

function Flame.destroy(self)
    flames[self] = nil
end

return Flame
