-- Twin of sort.kv: sorting 300000 pseudo-random integers, then sorting the sorted and the
-- reversed list. Needs 64-bit integers (Lua 5.3 or later) for the generator to match.
local items = {}
local x = 12345
for i = 1, 300000 do
  x = (x * 1103515245 + 12345) % 2147483648
  items[i] = x
end
table.sort(items)
table.sort(items)
table.sort(items, function(a, b) return a > b end)
table.sort(items)
print(#items .. " " .. tostring(items[1] <= items[#items]))
