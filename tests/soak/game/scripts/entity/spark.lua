-- A spark wanders, now and then renames itself, and forgets its data when it goes.
local Spark = {}
local data = {}

function Spark.init(self, argument)
    data[self] = {label = argument, steps = 0}
    Cindra.Entity.setSpeed(self, math.random(5, 60))
end

function Spark.update(self, dt)
    data[self].steps = data[self].steps + dt
end

function Spark.think(self)
    while true do
        Cindra.Entity.moveDirectional(self, math.random(0, 7))
        if math.random() < 0.05 then
            Cindra.Entity.setName(self, "")
            Cindra.Entity.setName(self, "renamed " .. self)
        end
        coroutine.yield()
    end
end

function Spark.destroy(self)
    data[self] = nil
end

-- A script that replaces a spark's never calls its destroy, so whoever replaces it calls this.
function Spark.forget(self)
    data[self] = nil
end

return Spark
