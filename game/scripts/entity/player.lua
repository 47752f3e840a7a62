-- The player: walks with the arrow keys (two held together walk diagonally) or the keypad,
-- one paced step at a time, and keeps the view centred on itself.
local Player = {}

function Player.think(self)
    while true do
        local direction = Cindra.Input.getInputDirection()
        if direction then
            Cindra.Entity.moveDirectional(self, direction)
        end
        Cindra.Map.setViewPoint(Cindra.Entity.getPosition(self))
        coroutine.yield()
    end
end

return Player
