# Twin of bigint.kv: 3 ** 100000 and 6000!, each converted to its decimal text, whose length
# is printed.
import math
import sys


def main():
    if hasattr(sys, "set_int_max_str_digits"):
        sys.set_int_max_str_digits(0)  # Python 3.11 refuses long conversions by default
    power_text = str(3 ** 100000)
    factorial_text = str(math.factorial(6000))
    print(len(power_text))
    print(len(factorial_text))


main()
