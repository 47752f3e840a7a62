-- The soak run's player: walks with the keys and every so often opens a text box or a dialog
-- box somewhere on the screen, which the harness's random Return, Up and Down answer.
local settings = require("soak_settings")
local Player = {}

local boxes = 0

function Player.think(self)
    local nextBox = Cindra.getWorldTime() + settings.boxEvery
    while true do
        local direction = Cindra.Input.getInputDirection()
        if direction then
            Cindra.Entity.moveDirectional(self, direction)
        end
        Cindra.Map.setViewPoint(Cindra.Entity.getPosition(self))
        if Cindra.getWorldTime() >= nextBox then
            boxes = boxes + 1
            local pos = {math.random(-1, 90), math.random(-1, 95)}
            if boxes % 2 == 0 then
                Cindra.textBox(pos, math.random(5, 40), "Soak box " .. boxes .. "\nRead me.")
                print("soak text closed")
            else
                local answer = Cindra.dialogBox(pos, math.random(7, 40), "Pick one",
                                                {"first", "second", "third"})
                print("soak answer " .. answer)
            end
            nextBox = Cindra.getWorldTime() + settings.boxEvery
        end
        coroutine.yield()
    end
end

return Player
