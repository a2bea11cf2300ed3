# Twin of fib_big.kv: fib(50000) by 50000 additions, two steps per round.
import sys


def main():
    if hasattr(sys, "set_int_max_str_digits"):
        sys.set_int_max_str_digits(0)  # Python 3.11 refuses long conversions by default
    a, b = 0, 1
    for _ in range(25000):
        a += b
        b += a
    text = str(a)
    print(len(text))
    print(text)


main()
