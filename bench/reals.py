# Twin of reals.kv with the decimal module: each value computed with guard digits, then cut
# (not rounded) to 1000 digits after the point, as kavor writes them.
from decimal import Decimal, getcontext, ROUND_DOWN

DIGITS = 1000
getcontext().prec = DIGITS + 30
ONE = Decimal(1)
TINY = Decimal(10) ** -(DIGITS + 25)


def cut(value):
    text = str(value.quantize(Decimal(10) ** -DIGITS, rounding=ROUND_DOWN))
    return text.rstrip("0").rstrip(".") if "." in text else text


def arctan(x):
    total, term, k = Decimal(0), x, 0
    while abs(term) > TINY:
        total += term / (2 * k + 1) * (1 if k % 2 == 0 else -1)
        term *= x * x
        k += 1
    return total


def sin_cos(x):
    s, c = Decimal(0), Decimal(0)
    term, n = ONE, 0
    while abs(term) > TINY:
        if n % 4 == 0: c += term
        elif n % 4 == 1: s += term
        elif n % 4 == 2: c -= term
        else: s -= term
        n += 1
        term = term * x / n
    return s, c


def main():
    pi = 16 * arctan(ONE / 5) - 4 * arctan(ONE / 239)
    sine, cosine = sin_cos(ONE)
    print(cut(ONE / 7))
    print(cut(Decimal(2).sqrt()))
    print(cut(Decimal(2) ** (ONE / 3)))
    print(cut(ONE.exp()))
    print(cut(Decimal(2).ln()))
    print(cut(Decimal(10).ln()))
    print(cut(pi))
    print(cut(sine))
    print(cut(cosine))
    print(cut(arctan(Decimal("0.5"))))
    print(len(str(int(Decimal(1000).exp()))) - 1)


main()
