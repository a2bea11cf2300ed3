# Twin of string_build.kv: building a long string piece by piece, then searching and
# splitting it. The work is in a function: CPython appends to a string in place only when
# it is held by a local variable, and copies it every time otherwise.
import re


def main():
    s = ""
    for i in range(1, 200001):
        s += "x"
        s += "y"
    print(len(s))
    parts = [part for part in s.split("y") if part]  # Kavor's split drops empty tokens
    print(f"{len(parts)} {len([m.start() for m in re.finditer('yx', s)])}")


main()
