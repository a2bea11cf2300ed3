-- Twin of loop.kv: a counting loop with integer arithmetic.
local sum = 0
for i = 1, 3000000 do sum = sum + i end
print(sum)
