# Twin of small_factors.kv: e to 4000 digits, the row n = 3000 of Pascal's triangle and a
# product of small factors reduced by a long modulus.
def main():
    one = 10 ** 4000
    term = one
    total_sum = 0
    k = 1
    while term > 0:
        total_sum += term
        term //= k
        k += 1
    print(f"{total_sum // 10 ** 3950} after {k} terms")
    c = 1
    total = 0
    for k in range(3000):
        c *= 3000 - k
        c //= k + 1
        total += c % 1000000007
    print(total, c)
    m = 10 ** 300 + 7
    x = 1
    for k in range(1, 20001):
        x = x * (k % 1000 + 2) % m
    print(x % 1000000000000)


main()
