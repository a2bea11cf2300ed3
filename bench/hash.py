# Twin of hash.kv: 1000000 insertions and lookups of int keys, then of str keys, into a dict.


def main():
    h = {}
    for i in range(1000000):
        h[i] = i
    total = 0
    for i in range(1000000):
        total += h[i]
    print(len(h), total)
    g = {}
    for i in range(1000000):
        g["k" + str(i)] = i
    total = 0
    for i in range(1000000):
        total += g["k" + str(i)]
    print(len(g), total)


main()
