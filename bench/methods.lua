-- Twin of methods.kv: 300000 rounds, each calling str and table functions (length,
-- sub, find, and a search with a condition over a short table).
local s = "the quick brown fox jumps over the lazy dog"
local l, small = {}, {2, 3, 5, 7, 11, 13, 17, 19, 23, 29}
for i = 1, 100 do l[i] = i end
local function find(t, cond)
  for j = 1, #t do
    if cond(t[j]) then return j - 1 end
  end
end
local n = #s
local total = 0
for i = 0, 299999 do
  total = total + #s + #l
  local at = i % n + 1
  if s:sub(at, at) == "o" then total = total + 1 end
  if s:sub(1, 1) == s:sub(-1) then total = total + 1 end
  total = total + l[i % 100 + 1] + l[#l] - l[1]
  total = total + s:find("lazy", 1, true) - 1
  if s:find("fox", 1, true) then total = total + 1 end
  total = total + find(small, function(x) return x == 7 end)
end
print(total)
