-- The guardian of the shrine: keeps the portcullis (the region "gate"), standing at its post
-- (the argument, "x y") and walking up to anyone who comes into the region "before the
-- gate". The right answer raises the portcullis and sends the guardian aside for good.
local Cells = require("lib.cells")
local Proximity = require("lib.proximity")
local State = require("lib.state")

local Guardian = {}

local posts = {}
local kAside = {58, 44}

function Guardian.init(self, argument)
    local x, y = string.match(argument or "", "(-?%d+) (-?%d+)")
    posts[self] = {tonumber(x) or 64, tonumber(y) or 44}
    Cindra.Entity.setSpeed(self, 4)
end

local function raiseGate()
    Cells.open("gate", string.char(254), {122, 90, 72}, {28, 16, 12})
    State.gateOpen = true
end

-- Asks the player who has come up; returns whether the gate is open now.
local function challenge(player)
    local answer = Cindra.dialogBox({-1, -1}, 48,
        "The guardian lowers its spear. \"None pass to the Ember. Why have you come?\"",
        {"To carry its fire home to Marrowfield.", "To take its power for myself.",
         "I am lost."})
    if answer == 0 then
        Cindra.Audio.playSound("sounds/door.wav")
        raiseGate()
        Cindra.textBox({-1, -1}, 40, "The guardian bows. \"Then carry it gently.\"")
        return true
    end
    Cindra.Entity.setPosition(player, {64, 30})
    Cindra.textBox({-1, -1}, 40, answer == 1 and "\"Then you will not pass.\""
        or "\"The stair is behind you, child.\"")
    return false
end

function Guardian.think(self)
    if State.gateOpen then
        raiseGate()
        Cindra.Entity.setPosition(self, kAside)
        return
    end
    while true do
        local player, at = Proximity.player()
        if player and Cindra.Map.regionContains("before the gate", player) then
            if Proximity.nextTo(Cindra.Entity.getPosition(self), at) then
                if challenge(player) then
                    break
                end
            else
                Cindra.Entity.moveTowards(self, at)
            end
        else
            Cindra.Entity.moveTowards(self, posts[self])
        end
        coroutine.yield()
    end
    while not Cindra.Entity.moveTowards(self, kAside) do
        coroutine.yield()
    end
end

function Guardian.destroy(self)
    posts[self] = nil
end

return Guardian
