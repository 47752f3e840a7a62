-- The map's ambient light, set at once or faded over some seconds of game time. The fade
-- advances from the global update, so it runs whoever asked for it.
local Ambient = {}

local fade = nil

function Ambient.set(colour)
    fade = nil
    Cindra.setAmbientLight(colour)
end

-- Fades from the ambient light now to colour over seconds.
function Ambient.fadeTo(colour, seconds)
    fade = {from = Cindra.getAmbientLight(), to = colour, seconds = seconds, t = 0}
end

function Ambient.update(dt)
    if not fade then
        return
    end
    fade.t = math.min(fade.t + dt, fade.seconds)
    local k = fade.t / fade.seconds
    local now = {}
    for i = 1, 3 do
        now[i] = math.floor(fade.from[i] + (fade.to[i] - fade.from[i]) * k + 0.5)
    end
    Cindra.setAmbientLight(now)
    if fade.t >= fade.seconds then
        fade = nil
    end
end

-- A map change ends any fade: the new map sets its own light.
function Ambient.reset()
    fade = nil
end

return Ambient
