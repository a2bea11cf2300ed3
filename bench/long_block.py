# Twin of long_block.kv: the same block of 40000 statements, compiled from its text and run,
# so that parsing and compiling a long block is measured as kavor's analysis is.
def main():
    lines = ["x = 0", "y = 0"]
    for i in range(20000):
        lines += ["x += 3", "y = x - %d" % i]
    names = {}
    exec(compile("\n".join(lines), "long_block", "exec"), names)
    print(names["x"], names["y"])


main()
