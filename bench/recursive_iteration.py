# Twin of recursive_iteration.kv: loops over a string and a list inside each other, 5000
# levels deep, twice.
import sys

deepest = 0


def down(k):
    global deepest
    s = "ab"
    items = [1, 2]
    if k > deepest:
        deepest = k
    for c in s:
        if c == "a" and k < 5000:
            for x in items:
                if x == 1:
                    down(k + 1)


def main():
    sys.setrecursionlimit(30000)
    down(1)
    down(1)
    print(deepest)


main()
