# Twin of deep_movement.kv: a list nested 20000 levels built one level per step, each new
# list taking the whole value so far, then taken apart the same way.
def main():
    value = []
    for i in range(1, 20001):
        value = [0, value]
        value[0] = i
    depth = 0
    while len(value) > 0:
        depth += value[0]
        value = value[1]
    print(depth)


main()
