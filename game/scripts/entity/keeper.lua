-- The keeper of the pool: when the player comes close, asks whether to play the song of the
-- pool, and starts or stops the music by the answer.
local Proximity = require("lib.proximity")

local Keeper = {}

local function ask()
    local answer = Cindra.dialogBox({-1, -1}, 44,
        "The keeper looks up from the water. \"Shall the pool sing for you, stranger?\"",
        {"Yes, let it sing.", "No, let it be still.", "Who are you?"})
    if answer == 0 then
        Cindra.Audio.playMusic("music/marrowfield.wav")
        Cindra.textBox({-1, -1}, 40, "A low song rises from the still water.")
    elseif answer == 1 then
        Cindra.Audio.stopMusic()
        Cindra.textBox({-1, -1}, 40, "The water falls silent.")
    else
        Cindra.textBox({-1, -1}, 40,
            "\"I keep the pool of Marrowfield. Nothing more, and nothing less.\"")
    end
end

function Keeper.think(self)
    Proximity.watch(self, ask)
end

return Keeper
