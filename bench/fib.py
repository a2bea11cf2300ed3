# Twin of fib.kv: recursive calls, fib(27) makes about 630000 calls.
def fib(n):
    if n < 2:
        return n
    return fib(n - 1) + fib(n - 2)


def main():
    print(fib(27))


main()
