-- A spark thrown up by a fire: made by Spark.launch, it drifts upwards for a moment, dims,
-- and is gone.
local Timing = require("lib.timing")

local Spark = {}

local drifts = {}

-- Makes a spark at pos; n picks its drift (sparks with different n fly differently).
function Spark.launch(pos, n)
    local spark = Cindra.Entity.create()
    Cindra.Entity.createComponent(spark, "location")
    Cindra.Entity.createComponent(spark, "render")
    Cindra.Entity.setPosition(spark, pos)
    Cindra.Entity.setChar(spark, 250)
    Cindra.Entity.setColor(spark, {255, 200, 90})
    Cindra.Entity.attachScript(spark, "entity.spark", tostring(n))
    return spark
end

function Spark.init(self, n)
    local k = tonumber(n) or 1
    drifts[self] = {(k % 5) - 2, 6 + k % 4}
    Cindra.Entity.setSpeed(self, 6 + k % 3)
end

function Spark.think(self)
    local drift = drifts[self]
    local from = Cindra.Entity.getPosition(self)
    local target = {from[1] + drift[1], from[2] + drift[2]}
    for _ = 1, 90 do
        Cindra.Entity.moveTowards(self, target)
        local colour = Cindra.Entity.getColor(self)
        Cindra.Entity.setColor(self, {colour[1], math.max(0, colour[2] - 2), colour[3]})
        coroutine.yield()
    end
    Timing.wait(0.2)
    Cindra.Entity.destroy(self)
end

function Spark.destroy(self)
    drifts[self] = nil
end

return Spark
