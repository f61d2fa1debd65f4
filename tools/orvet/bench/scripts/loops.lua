-- Integer arithmetic in nested loops over local variables.
local function run(n)
    local sum = 0
    for i = 0, n - 1 do
        for j = 0, 99 do
            sum = (sum + i * j + (j ~ i)) % 1000003
        end
    end
    return sum
end
print(run(100000))
