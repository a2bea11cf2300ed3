-- Twin of string_build.kv: building a long string piece by piece, then searching and
-- splitting it. The pieces go into a table joined once: Lua strings are immutable, so
-- s = s .. "x" would copy the whole string every time.
local pieces = {}
for i = 1, 200000 do
  pieces[#pieces + 1] = "x"
  pieces[#pieces + 1] = "y"
end
local s = table.concat(pieces)
print(#s)
local parts = {}
for part in s:gmatch("[^y]+") do parts[#parts + 1] = part end
local found, start = {}, 1
while true do
  local at = s:find("yx", start, true)
  if not at then break end
  found[#found + 1] = at - 1
  start = at + 2
end
print(#parts .. " " .. #found)
