# Twin of loop.kv: a counting loop with integer arithmetic.
def main():
    total = 0
    for i in range(1, 3000001):
        total += i
    print(total)


main()
