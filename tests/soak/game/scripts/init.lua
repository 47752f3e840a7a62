-- The soak run: every frame the world makes sparks (entities with a place, a glyph, often a
-- light, and a script) and destroys the oldest; a map change every so often; a frame count on
-- standard output for the harness, with the Lua heap's size in kB. The harness writes soak_settings.lua beside this file.
local settings = require("soak_settings")

local maps = {"intro.cmap", "second.cmap"}
local mapIndex = 1
-- The size of the map in use, so sparks land on it.
local sizes = {["intro.cmap"] = {40, 24}, ["second.cmap"] = {60, 32}}

local frames = 0
local serial = 0
local living = {} -- the sparks alive, oldest first
local nextMapChange = settings.mapEvery

-- Every entity went with the old map.
function initWorld()
    living = {}
    nextMapChange = Cindra.getWorldTime() + settings.mapEvery
    local player = Cindra.Entity.getEntityByName("player")
    if Cindra.Map.getRegionCells("start") then
        Cindra.Entity.setPosition(player, Cindra.Map.getRegionCenter("start"))
    end
    print("soak map " .. maps[mapIndex])
end

local function spawn()
    serial = serial + 1
    local size = sizes[maps[mapIndex]]
    local e = Cindra.Entity.create()
    Cindra.Entity.setName(e, "spark " .. serial)
    Cindra.Entity.createComponent(e, "location")
    Cindra.Entity.setPosition(e, {math.random(1, size[1] - 2), math.random(1, size[2] - 2)})
    Cindra.Entity.createComponent(e, "render")
    Cindra.Entity.setChar(e, 42)
    Cindra.Entity.setColor(e, {math.random(0, 255), math.random(0, 255), math.random(0, 255)})
    if serial % 2 == 0 then
        Cindra.Entity.createComponent(e, "light")
        Cindra.Entity.setLightColor(e, {math.random(64, 255), math.random(64, 255), 128})
        Cindra.Entity.setLightRadius(e, math.random(1, 8))
        Cindra.Entity.setLightFalloff(e, math.random(1, 2))
        Cindra.Entity.setLightFade(e, math.random(64, 256))
    end
    Cindra.Entity.attachScript(e, "entity.spark", tostring(serial))
    -- Some sparks change their mind about their script at once.
    if serial % 7 == 0 then
        Cindra.Entity.attachScript(e, "entity.ember", "")
        require("entity.spark").forget(e)
    end
    living[#living + 1] = e
end

function update(dt)
    frames = frames + 1
    for _ = 1, settings.sparksPerFrame do
        spawn()
    end
    while #living > settings.sparksAlive do
        Cindra.Entity.destroy(table.remove(living, 1))
    end
    -- The ambient light drifts and a floor cell changes its glyph, so the map is redrawn.
    local n = Cindra.Perlin.noise1D(frames * 0.01)
    Cindra.setAmbientLight({72 + math.floor(n * 40), 72, 80})
    Cindra.Map.put({1 + frames % 10, 1}, frames % 2 == 0 and "." or ",", nil, nil)
    if frames % settings.reportEvery == 0 then
        print(string.format("soak frames %d lua %d", frames, collectgarbage("count")))
    end
    if Cindra.getWorldTime() >= nextMapChange then
        nextMapChange = math.huge
        mapIndex = mapIndex % #maps + 1
        Cindra.changeMap(maps[mapIndex])
    end
end
