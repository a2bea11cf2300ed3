# Twin of pi_digits.kv: the first 2000 digits of pi by the unbounded spigot, in lines of 50.
def main():
    count = 2000
    i = k = 0
    k1 = 1
    n, a, d = 1, 0, 1
    line = ""
    while i < count:
        k += 1
        t = n * 2
        n *= k
        a += t
        k1 += 2
        a *= k1
        d *= k1
        if a >= n:
            q = n * 3 + a
            t = q // d
            u = q % d + n
            if d > u:
                line += str(t)
                i += 1
                if i % 50 == 0:
                    print(line)
                    line = ""
                a -= d * t
                a *= 10
                n *= 10


main()
