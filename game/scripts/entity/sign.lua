-- A sign: when the player steps next to it, it chimes and shows its text (the script's
-- argument) in a text box, once each time the player comes close.
local Proximity = require("lib.proximity")

local Sign = {}

local texts = {}

function Sign.init(self, text)
    texts[self] = text or "The letters have worn away."
end

function Sign.think(self)
    Proximity.watch(self, function()
        Cindra.Audio.playSound("sounds/chime.wav")
        Cindra.textBox({-1, -1}, 40, texts[self])
    end)
end

function Sign.destroy(self)
    texts[self] = nil
end

return Sign
