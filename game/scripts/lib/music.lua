-- The level's music, and the key M that pauses and resumes it.
local Music = {}

local kKeyM = 109
local paused = false
local keyWasDown = false
-- The file playing, so that a level built again by a reload goes on with its music.
local playing = nil

-- Starts file from its beginning (looping), unpaused, unless it is already playing.
function Music.play(file)
    if file == playing then
        return
    end
    paused = false
    playing = file
    Cindra.Audio.playMusic(file)
end

function Music.stop()
    paused = false
    playing = nil
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
