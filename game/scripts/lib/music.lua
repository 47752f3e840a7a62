-- The level's music, and the key M that pauses and resumes it.
local Music = {}

local kKeyM = 109
local paused = false
local keyWasDown = false

-- Starts file from its beginning (looping), unpaused.
function Music.play(file)
    paused = false
    Cindra.Audio.playMusic(file)
end

function Music.stop()
    paused = false
    Cindra.Audio.stopMusic()
end

-- Called every frame by the player: a press of M pauses or resumes the music.
function Music.checkKey()
    local down = Cindra.Input.getKeyState(kKeyM)
    if down and not keyWasDown then
        paused = not paused
        if paused then
            Cindra.Audio.pauseMusic()
        else
            Cindra.Audio.resumeMusic()
        end
    end
    keyWasDown = down
end

return Music
