-- A million small objects built and dropped: the heap must stay small.
local function run(n)
    local keep = nil
    for i = 0, n - 1 do
        local o = { a = i, b = i + 1, next = nil }
        if i % 1000 == 0 then
            o.next = keep
            keep = o
        end
    end
    local count = 0
    while keep ~= nil do
        count = count + keep.b
        keep = keep.next
    end
    return count
end
print(run(1000000))
