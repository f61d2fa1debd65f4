-- Array push, then sort with a comparison function (Lua's takes "less than").
-- Lua arrays start at 1: a[k + 1] is the script's a[k].
local function compare(a, b)
    return a < b
end
local function run(n)
    local a = {}
    local seed = 1
    for i = 0, n - 1 do
        seed = (seed * 16807) % 2147483647
        a[#a + 1] = seed % 100000
    end
    table.sort(a, compare)
    local check = 0
    for k = 0, n - 1, 997 do
        check = (check * 31 + a[k + 1]) % 1000003
    end
    return a[1] .. "," .. a[n] .. "," .. check
end
print(run(150000))
