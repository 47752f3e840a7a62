-- An ember replaces a spark's script: it flickers its light when it has one, and ends its
-- think after a while.
local Ember = {}

function Ember.think(self)
    for i = 1, math.random(1, 30) do
        Cindra.Entity.setColor(self, {255, 64 + i * 4, 0})
        coroutine.yield()
    end
end

return Ember
