# Writes the benchmark programs whose size is the point: one block of 40,000 statements and
# 8,000 nested blocks and list values. run.sh runs it first; the programs it writes are not
# kept in the repository (.gitignore), their twins are.
import pathlib

here = pathlib.Path(__file__).parent

STATEMENTS = 40000
block = ["# One block of 40000 statements (written by generate.py): analysis and execution must",
         "# cost one step per statement.", "int x, y", "x = 0", "y = 0"]
for i in range(STATEMENTS // 2):
    block += ["x += 3", "y = x - %d" % i]
block += ["outl(x, \" \", y)"]
(here / "long_block.kv").write_text("\n".join(block) + "\n")

DEPTH = 8000
nesting = ["# 8000 nested if blocks and a list value nested 8000 levels in the text (written by",
           "# generate.py): building, analysing and running them must cost one step per level.",
           "int x, i", "list l",
           "if(true, {" * DEPTH + "x = 1" + "})" * DEPTH,
           "l = " + "list(" * DEPTH + "x" + ")" * DEPTH,
           "for(i, 2 .. %d, {l ~ l[0]; x += 1})" % DEPTH,
           "outl(x, \" \", l)"]
(here / "deep_nesting.kv").write_text("\n".join(nesting) + "\n")
