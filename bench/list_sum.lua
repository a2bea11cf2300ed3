-- Twin of list_sum.kv: appending 1000000 integers, then summing them by iterating the table.
local items = {}
for i = 1, 1000000 do items[#items + 1] = i end
local sum = 0
for _, x in ipairs(items) do sum = sum + x end
print(sum)
