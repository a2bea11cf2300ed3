# Twin of list_sum.kv: appending 1000000 integers, then summing them by iterating the list.
def main():
    items = []
    for i in range(1, 1000001):
        items.append(i)
    total = 0
    for x in items:
        total += x
    print(total)


main()
