# Twin of list_build.kv: appending 1000000 elements one at a time, then taking them all
# from the front. A deque, because Kavor's del0 takes the first element in constant time
# and list.pop(0) would not.
from collections import deque


def main():
    items = deque()
    for i in range(1, 1000001):
        items.append(i)
    total = 0
    while items:
        total += items.popleft()
    print(total)


main()
