-- A lantern bearer: carries a warm light back and forth between two points given as its
-- argument "x1 y1 x2 y2", and the flame breathes a little as it walks.
local Lantern = {}

local routes = {}

function Lantern.init(self, argument)
    local x1, y1, x2, y2 = string.match(argument, "(-?%d+) (-?%d+) (-?%d+) (-?%d+)")
    routes[self] = {GridPos.new(tonumber(x1), tonumber(y1)), GridPos.new(tonumber(x2), tonumber(y2))}
    Cindra.Entity.createComponent(self, "light")
    Cindra.Entity.setLightColor(self, {255, 200, 120})
    Cindra.Entity.setLightRadius(self, 7)
    Cindra.Entity.setSpeed(self, 3)
end

function Lantern.think(self)
    local route = routes[self]
    local leg = 1
    while true do
        if Cindra.Entity.moveTowards(self, route[leg]) then
            leg = 3 - leg
        end
        local t = Cindra.getWorldTime()
        Cindra.Entity.setLightFade(self, 200 + math.floor(40 * math.sin(t * 3)))
        coroutine.yield()
    end
end

function Lantern.destroy(self)
    routes[self] = nil
end

return Lantern
