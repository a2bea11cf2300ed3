-- Twin of hash.kv: 1000000 insertions and lookups of int keys, then of str keys, into a table.
local h = {}
for i = 0, 999999 do h[i] = i end
local total, size = 0, 0
for i = 0, 999999 do total = total + h[i] end
for _ in pairs(h) do size = size + 1 end
print(size .. " " .. total)
local g = {}
for i = 0, 999999 do g["k" .. i] = i end
total, size = 0, 0
for i = 0, 999999 do total = total + g["k" .. i] end
for _ in pairs(g) do size = size + 1 end
print(size .. " " .. total)
