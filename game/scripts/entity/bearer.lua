-- Bram, the lantern bearer: carries a warm light back and forth between two points given as
-- his argument "x1 y1 x2 y2", the flame breathing as he walks. Once the keeper has given the
-- quest he hands his lantern to the player, and walks on in the dark.
local Proximity = require("lib.proximity")
local State = require("lib.state")
local Lantern = require("lib.lantern")

local Bearer = {}

local routes = {}

local function lightLantern(self)
    Cindra.Entity.setLightColor(self, {255, 200, 120})
    Cindra.Entity.setLightRadius(self, 7)
end

function Bearer.init(self, argument)
    local x1, y1, x2, y2 = string.match(argument, "(-?%d+) (-?%d+) (-?%d+) (-?%d+)")
    routes[self] = {{tonumber(x1), tonumber(y1)}, {tonumber(x2), tonumber(y2)}}
    Cindra.Entity.setSpeed(self, 3)
    if not State.hasLantern then
        Cindra.Entity.createComponent(self, "light")
        lightLantern(self)
    end
end

local function giveLantern(self)
    local answer = Cindra.dialogBox({-1, -1}, 46,
        "\"The keeper sent you into the Hollow? You will want my lantern down there.\"",
        {"Take the lantern.", "Keep it, Bram."})
    if answer == 0 then
        State.hasLantern = true
        Cindra.Audio.playSound("sounds/pickup.wav")
        Cindra.Entity.setLightRadius(self, 1)
        Cindra.Entity.setLightFade(self, 0)
        local player = Proximity.player()
        if player then
            Lantern.equip(player)
        end
        Cindra.textBox({-1, -1}, 40, "Bram hands you his lantern. \"Mind it well.\"")
    else
        Cindra.textBox({-1, -1}, 40, "\"As you like. The dark down there is no friend.\"")
    end
end

local function meet(self)
    if State.hasLantern then
        Cindra.textBox({-1, -1}, 40, "\"Go on. The chapel is just north of here.\"")
    elseif State.questTaken then
        giveLantern(self)
    else
        Cindra.textBox({-1, -1}, 40, "\"Evening. I keep the lamps of the east road.\"")
    end
end

function Bearer.think(self)
    local route = routes[self]
    local leg = 1
    Proximity.watch(self, meet, function()
        if Cindra.Entity.moveTowards(self, route[leg]) then
            leg = 3 - leg
        end
        if not State.hasLantern then
            local t = Cindra.getWorldTime()
            Cindra.Entity.setLightFade(self, 200 + math.floor(40 * math.sin(t * 3)))
        end
    end)
end

function Bearer.destroy(self)
    routes[self] = nil
end

return Bearer
