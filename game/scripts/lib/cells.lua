-- Changing the map's cells from scripts: doors that open.
local Cells = {}

-- Makes every cell of the region an open floor cell: walkable, letting light through, drawn
-- as glyph (a one-character text) in the colours fg and bg.
function Cells.open(region, glyph, fg, bg)
    for _, cell in ipairs(Cindra.Map.getRegionCells(region) or {}) do
        Cindra.Map.put(cell, glyph, fg, bg)
        Cindra.Map.setWalkable(cell, true)
        Cindra.Map.setTransparent(cell, true)
    end
end

return Cells
