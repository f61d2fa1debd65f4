-- Building strings by concatenation, then searching them (plain find, 1-based).
local function build(n)
    local total = 0
    local s = ""
    for i = 0, n - 1 do
        s = ""
        for j = 0, 39 do
            s = s .. j .. ","
        end
        total = total + #s
    end
    return total .. ":" .. s
end
local function search(s, n)
    local found = 0
    for i = 0, n - 1 do
        local at = string.find(s, "," .. (i % 45) .. ",", 1, true)
        found = found + (at and at - 1 or -1)
    end
    return found
end
local built = build(20000)
print(built)
print(search(built, 200000))
