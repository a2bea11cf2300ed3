# Twin of deep_nesting.kv: 8000 nested conditions and a list nested 8000 levels, then
# unwrapped level by level. CPython's parser refuses text nested that deep, so the nesting is
# built at run time: nested calls for the conditions, nested lists for the value.
import sys


def nested(depth):
    if True:
        return 1 if depth == 1 else nested(depth - 1)


def main():
    sys.setrecursionlimit(20000)
    x = nested(8000)
    value = x
    for _ in range(8000):
        value = [value]
    for _ in range(2, 8001):
        value = value[0]
        x += 1
    print(x, "(" + ",".join(str(v) for v in value) + ")")


main()
