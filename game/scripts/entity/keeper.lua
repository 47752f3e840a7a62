-- The keeper of the pool: when the player comes close, asks whether to play the song of the
-- pool, and starts or stops the music by the answer.
local Keeper = {}

local function nextTo(a, b)
    return math.abs(a[1] - b[1]) <= 1 and math.abs(a[2] - b[2]) <= 1
end

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
    local near = false
    while true do
        local player = Cindra.Entity.getEntityByName("player")
        local close = player ~= -1 and nextTo(Cindra.Entity.getPosition(self),
                                              Cindra.Entity.getPosition(player))
        if close and not near then
            ask()
        end
        near = close
        coroutine.yield()
    end
end

return Keeper
