-- The player: walks with the arrow keys (two held together walk diagonally) or the keypad,
-- one paced step at a time, carries the lantern once given it, leaves by the map's exits,
-- keeps the view centred on itself, and lets M pause and resume the music.
local Levels = require("lib.levels")
local Lantern = require("lib.lantern")
local Music = require("lib.music")
local Travel = require("lib.travel")

local Player = {}

function Player.init(self)
    Lantern.equip(self)
end

function Player.think(self)
    local last = Cindra.Entity.getPosition(self)
    -- A key still held from the last map does not walk the new player: it would walk
    -- straight back onto the stair it came by.
    local settled = false
    while true do
        local direction = Cindra.Input.getInputDirection()
        settled = settled or direction == nil
        if direction and settled then
            Cindra.Entity.moveDirectional(self, direction)
        end
        Lantern.flicker(self)
        Music.checkKey()
        local at = Cindra.Entity.getPosition(self)
        if at ~= last then
            last = at
            if Travel.check(self, Levels.current().exits) then
                return
            end
            last = Cindra.Entity.getPosition(self)
        end
        Cindra.Map.setViewPoint(Cindra.Entity.getPosition(self))
        coroutine.yield()
    end
end

return Player
