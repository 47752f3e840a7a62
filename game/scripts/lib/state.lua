-- The story so far, kept across map changes (modules live as long as the game), and the map
-- now loaded, which each level names in its region "level".
local State = {
    map = "intro.cmap",    -- the map now loaded
    arrival = "start",     -- the region the player arrives in on the next map
    questTaken = false,    -- the keeper asked, and the player said yes
    hasLantern = false,    -- Bram gave the player his lantern
    doorOpen = false,      -- the sun door in the Hollow has opened
    gateOpen = false,      -- the guardian raised the portcullis
    hasEmber = false,      -- the Ember is in the lantern
    ended = false,         -- the Ember burns in the brazier: the game is won
}

return State
