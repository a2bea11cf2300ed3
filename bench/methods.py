# Twin of methods.kv: 300000 rounds, each calling str and list methods (len, indexing,
# find, "in", and a search with a condition over a short list).
def main():
    s = "the quick brown fox jumps over the lazy dog"
    l = list(range(1, 101))
    small = [2, 3, 5, 7, 11, 13, 17, 19, 23, 29]
    n = len(s)
    total = 0
    for i in range(0, 300000):
        total += len(s) + len(l)
        if s[i % n] == "o":
            total += 1
        if s[0] == s[-1]:
            total += 1
        total += l[i % 100] + l[-1] - l[0]
        total += s.find("lazy")
        if "fox" in s:
            total += 1
        p = next(j for j, x in enumerate(small) if x == 7)
        total += p
    print(total)


main()
