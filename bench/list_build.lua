-- Twin of list_build.kv: appending 1000000 elements one at a time, then taking them all
-- from the front (a queue over a table: table.remove(t, 1) would shift every element).
local items, first, last = {}, 1, 0
for i = 1, 1000000 do
  last = last + 1
  items[last] = i
end
local sum = 0
while first <= last do
  sum = sum + items[first]
  items[first] = nil
  first = first + 1
end
print(sum)
