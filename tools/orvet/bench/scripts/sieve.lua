-- Array indexing: a sieve of Eratosthenes over a large array, run a few times.
-- Lua arrays start at 1: flags[i + 1] stands for the number i.
local function sieve(n)
    local flags = {}
    for i = 0, n do
        flags[i + 1] = 1
    end
    local count = 0
    for p = 2, n do
        if flags[p + 1] == 1 then
            count = count + 1
            for k = p + p, n, p do
                flags[k + 1] = 0
            end
        end
    end
    return count
end
local total = 0
for r = 0, 3 do
    total = total + sieve(1000000)
end
print(total)
