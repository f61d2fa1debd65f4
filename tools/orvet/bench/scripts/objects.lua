-- Method calls on objects made by a constructor sharing one method table.
local Point = {}
Point.__index = Point
function Point.new(x, y)
    return setmetatable({ x = x, y = y }, Point)
end
function Point:dot(p)
    return self.x * p.x + self.y * p.y
end
function Point:moveTo(x, y)
    self.x = x
    self.y = y
end
local function run(n)
    local p = Point.new(1, 2)
    local q = Point.new(3, 4)
    local s = 0
    for i = 0, n - 1 do
        p:moveTo(i % 100, i % 7)
        s = (s + p:dot(q)) % 1000003
        if i % 10 == 0 then
            q = Point.new(i % 13, 5)
        end
    end
    return s
end
print(run(1000000))
