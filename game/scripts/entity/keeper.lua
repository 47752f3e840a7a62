-- The keeper of the pool: gives the quest, and says what to do next at each stage of it.
local Proximity = require("lib.proximity")
local State = require("lib.state")

local Keeper = {}

local function say(text)
    Cindra.textBox({-1, -1}, 46, text)
end

local function ask()
    local answer = Cindra.dialogBox({-1, -1}, 50,
        "The keeper looks up from the cold water. \"The Ember that warmed our pool has gone "
            .. "out, and the nights grow long. Will you go down into the Hollow and bring "
            .. "its fire back?\"",
        {"I will go.", "What is the Ember?", "Not tonight."})
    if answer == 0 then
        State.questTaken = true
        say("\"Bless you. Take a light from Bram, who walks the east road with his "
            .. "lantern. The stair is in the old chapel, north of the road.\"")
    elseif answer == 1 then
        say("\"A flame that needs no wood. It sleeps in a shrine below the Hollow, and once "
            .. "it burned in the brazier by this pool. Ask me again when you are ready.\"")
    else
        say("\"Then sit by the cold water a while.\"")
    end
end

local function speak()
    if State.ended then
        say("\"Marrowfield is warm again. Thank you, friend.\"")
    elseif State.hasEmber then
        say("\"You have it! Set it in the brazier, on the north side of the pool.\"")
    elseif State.hasLantern then
        say("\"The Hollow is dark. Keep your light high, and come back with the Ember.\"")
    elseif State.questTaken then
        say("\"Bram walks the east road with his lantern. The chapel is beyond him.\"")
    else
        ask()
    end
end

function Keeper.think(self)
    Proximity.watch(self, speak)
end

return Keeper
