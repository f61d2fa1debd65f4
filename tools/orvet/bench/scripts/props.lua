-- Reading and writing the properties of small objects.
local function run(n)
    local o = { x = 1, y = 2, z = 0 }
    local p = { a = 3, b = 4 }
    for i = 0, n - 1 do
        o.z = o.x + o.y + p.a
        o.x = o.y
        o.y = o.z % 1000
        p.a = p.b
        p.b = i % 7
    end
    return o.x + o.y + o.z
end
print(run(1500000))
