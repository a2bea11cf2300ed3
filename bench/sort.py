# Twin of sort.kv: sorting 300000 pseudo-random integers, then sorting the sorted and the
# reversed list.
def main():
    items = []
    x = 12345
    for i in range(1, 300001):
        x = (x * 1103515245 + 12345) % 2147483648
        items.append(x)
    items.sort()
    items.sort()
    items.sort(reverse=True)
    items.sort()
    print(f"{len(items)} {'true' if items[0] <= items[-1] else 'false'}")


main()
