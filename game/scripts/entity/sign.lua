-- A sign: when the player steps next to it, it shows its text (the script's argument) in a
-- text box, once each time the player comes close.
local Sign = {}

local texts = {}

function Sign.init(self, text)
    texts[self] = text or "The letters have worn away."
end

local function nextTo(a, b)
    return math.abs(a[1] - b[1]) <= 1 and math.abs(a[2] - b[2]) <= 1
end

function Sign.think(self)
    local near = false
    while true do
        local player = Cindra.Entity.getEntityByName("player")
        local close = player ~= -1 and nextTo(Cindra.Entity.getPosition(self),
                                              Cindra.Entity.getPosition(player))
        if close and not near then
            Cindra.Audio.playSound("sounds/chime.wav")
            Cindra.textBox({-1, -1}, 40, texts[self])
        end
        near = close
        coroutine.yield()
    end
end

function Sign.destroy(self)
    texts[self] = nil
end

return Sign
