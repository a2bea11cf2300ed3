# Twin of fib.kv: recursive calls, fib(25) makes about 250000 calls.
def fib(n):
    if n < 2:
        return n
    return fib(n - 1) + fib(n - 2)


def main():
    print(fib(25))


main()
