-- The sun door of the Hollow (its argument names the region of the door's cells): carved
-- stone that rolls aside when a light is carried to the region "door step" before it.
local Cells = require("lib.cells")
local Proximity = require("lib.proximity")
local State = require("lib.state")
local Timing = require("lib.timing")

local SunDoor = {}

local doors = {}

function SunDoor.init(self, region)
    doors[self] = region
end

local function open(region)
    Cells.open(region, string.char(250), {90, 84, 96}, {14, 12, 16})
    State.doorOpen = true
end

function SunDoor.think(self)
    local region = doors[self]
    if State.doorOpen then
        open(region)
        return
    end
    Timing.waitUntil(function()
        local player = Proximity.player()
        return player and State.hasLantern and Cindra.Map.regionContains("door step", player)
    end)
    Cindra.Audio.playSound("sounds/door.wav")
    open(region)
    Cindra.textBox({-1, -1}, 44, "The sun carved in the door drinks the light of your "
        .. "lantern. With a grinding of stone, the door rolls aside.")
end

function SunDoor.destroy(self)
    doors[self] = nil
end

return SunDoor
