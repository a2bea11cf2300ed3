// BigInt and the number-theoretic routines. Expected values were computed independently
// (by hand or with another arbitrary-precision tool) and are written out here.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "core/failure.h"
#include "numbers/bigint.h"
#include "numbers/number_theory.h"

namespace kavor {
namespace {

BigInt num(const std::string& text) {
  auto value = BigInt::fromText(text);
  EXPECT_TRUE(value.has_value()) << text;
  return value.value_or(BigInt());
}

std::string text(const Outcome<BigInt>& outcome) {
  return outcome.ok() ? outcome.value.toText() : Failure(outcome.failure).text();
}

std::string repeat(char c, std::size_t count) { return std::string(count, c); }

TEST(BigIntText, LiteralsAcceptSignsAndLeadingZeros) {
  EXPECT_EQ(num("000").toText(), "0");
  EXPECT_EQ(num("000"), BigInt(0));
  EXPECT_EQ(num("-0").toText(), "0");
  EXPECT_EQ(num("-0"), BigInt(0));
  EXPECT_FALSE(num("-0") < BigInt(0));
  EXPECT_FALSE(num("-0") > BigInt(0));
  EXPECT_EQ(num("+42").toText(), "42");
  EXPECT_EQ(num("-000123456789012").toText(), "-123456789012");
  EXPECT_EQ(num("1000000000").toText(), "1000000000");  // one full limb plus one
  EXPECT_EQ(num("999999999").toText(), "999999999");
  EXPECT_EQ(num("-1000000000000000000000000000").magnitudeText(), "1000000000000000000000000000");

  for (const char* bad : {"", "+", "-", "12a", " 1", "1 ", "--1", "+-1", "1.0", "0x10"}) {
    EXPECT_FALSE(BigInt::isIntegerLiteral(bad)) << bad;
    EXPECT_FALSE(BigInt::fromText(bad).has_value()) << bad;
  }
  EXPECT_TRUE(BigInt::isIntegerLiteral("-007"));
}

TEST(BigIntText, DigitCountAndLongRoundTrip) {
  EXPECT_EQ(BigInt(0).digitCount(), 1u);
  EXPECT_EQ(BigInt().digitCount(), 0u);
  EXPECT_EQ(num("-1000000000").digitCount(), 10u);
  std::string long_text = "-9" + repeat('0', 40) + "12345678901234567";
  EXPECT_EQ(num(long_text).toText(), long_text);
  EXPECT_EQ(num(long_text).digitCount(), long_text.size() - 1);
}

TEST(BigIntEmpty, IsNoIntegerButReadsAsZeroInArithmetic) {
  BigInt empty;
  EXPECT_TRUE(empty.isEmpty());
  EXPECT_FALSE(empty.isZero());
  EXPECT_EQ(empty.toText(), "");
  EXPECT_EQ(empty, BigInt());
  EXPECT_NE(empty, BigInt(0));
  EXPECT_LT(empty, num("-" + repeat('9', 30)));
  EXPECT_FALSE(empty.toInt64().has_value());
  EXPECT_EQ((empty + BigInt(5)).toText(), "5");
  EXPECT_EQ(text(divide(BigInt(5), empty)), "Division by 0");

  BigInt value(7);
  value.makeEmpty();
  EXPECT_TRUE(value.isEmpty());
}

TEST(BigIntMachine, Int64BoundsAndRanges) {
  EXPECT_EQ(BigInt(INT64_MIN).toText(), "-9223372036854775808");
  EXPECT_EQ(BigInt(INT64_MAX).toText(), "9223372036854775807");
  EXPECT_EQ(num("-9223372036854775808").toInt64(), INT64_MIN);
  EXPECT_EQ(num("9223372036854775807").toInt64(), INT64_MAX);
  EXPECT_FALSE(num("9223372036854775808").toInt64().has_value());
  EXPECT_FALSE(num("-9223372036854775809").toInt64().has_value());
  EXPECT_EQ(BigInt::fromUnsigned(UINT64_MAX).toText(), "18446744073709551615");
  EXPECT_EQ(num("18446744073709551615").magnitudeToUnsigned(), UINT64_MAX);
  EXPECT_FALSE(num("18446744073709551616").magnitudeToUnsigned().has_value());

  EXPECT_TRUE(BigInt(255).fitsIn(0, 255));
  EXPECT_FALSE(BigInt(256).fitsIn(0, 255));
  EXPECT_FALSE(BigInt(-1).fitsIn(0, 255));
  EXPECT_FALSE(num("4294967299").fitsIn(0, 255));
  EXPECT_FALSE(BigInt().fitsIn(INT64_MIN, INT64_MAX));
}

TEST(BigIntArithmetic, CarriesAndBorrowsAcrossLimbs) {
  EXPECT_EQ((BigInt(1000) - BigInt(1)).toText(), "999");
  EXPECT_EQ((BigInt(999) + BigInt(1)).toText(), "1000");
  EXPECT_EQ((num("999999999") + BigInt(1)).toText(), "1000000000");
  EXPECT_EQ((num(repeat('9', 36)) + BigInt(1)).toText(), "1" + repeat('0', 36));
  EXPECT_EQ((num("1" + repeat('0', 36)) - BigInt(1)).toText(), repeat('9', 36));
  EXPECT_EQ((num("1000000000000000000") - num("999999999999999999")).toText(), "1");
  EXPECT_EQ((BigInt(5) - BigInt(5)).toText(), "0");
  EXPECT_EQ((BigInt(-5) + BigInt(5)).toText(), "0");
  EXPECT_EQ((BigInt(3) - BigInt(10)).toText(), "-7");
  EXPECT_EQ((BigInt(-3) - BigInt(10)).toText(), "-13");
  EXPECT_EQ((BigInt(-3) - BigInt(-10)).toText(), "7");
  EXPECT_EQ((-BigInt(0)).toText(), "0");
  EXPECT_EQ(num("-12").abs().toText(), "12");

  BigInt x = num("600000000000");
  x += x;
  EXPECT_EQ(x.toText(), "1200000000000");
  x -= x;
  EXPECT_EQ(x.toText(), "0");
  BigInt counter(-1);
  ++counter;
  EXPECT_TRUE(counter.isZero());
  --counter;
  --counter;
  EXPECT_EQ(counter.toText(), "-2");
}

TEST(BigIntArithmetic, Products) {
  EXPECT_EQ((num("123456789") * BigInt(1000)).toText(), "123456789000");
  EXPECT_EQ((BigInt(-5) * BigInt(0)).toText(), "0");
  EXPECT_EQ((BigInt(-5) * BigInt(-4)).toText(), "20");
  EXPECT_EQ((num("123456789012345678901234567890") * num("-987654321098765432109876543210")).toText(),
            "-121932631137021795226185032733622923332237463801111263526900");
  // (10^n - 1)^2 = 9..9 8 0..0 1: lengths that reach the schoolbook, Karatsuba and transform paths.
  for (std::size_t n : {20, 400, 1000, 20000, 60000}) {
    BigInt nines = num(repeat('9', n));
    std::string expected = repeat('9', n - 1) + "8" + repeat('0', n - 1) + "1";
    EXPECT_EQ((nines * nines).toText(), expected) << n;
    BigInt copy = nines;
    copy *= nines;
    EXPECT_EQ(copy, nines * nines);
  }
  // Unbalanced operands.
  BigInt longOne = num(repeat('9', 30000));
  EXPECT_EQ((longOne * num(repeat('9', 500))).toText(),
            repeat('9', 499) + "8" + repeat('9', 29500) + repeat('0', 499) + "1");
}

TEST(BigIntDivision, TruncatingQuotientAndNonNegativeRemainder) {
  EXPECT_EQ(text(divide(BigInt(-7), BigInt(2))), "-3");
  EXPECT_EQ(text(divide(BigInt(7), BigInt(-2))), "-3");
  EXPECT_EQ(text(divide(BigInt(-7), BigInt(-2))), "3");
  EXPECT_EQ(text(divide(BigInt(1), BigInt(-2))), "0");
  EXPECT_EQ(text(remainder(BigInt(-7), BigInt(2))), "1");
  EXPECT_EQ(text(remainder(BigInt(-6), BigInt(3))), "0");
  EXPECT_EQ(text(remainder(BigInt(7), BigInt(-2))), "1");
  EXPECT_EQ(text(remainder(BigInt(-7), BigInt(-3))), "2");
  EXPECT_EQ(text(remainder(BigInt(-7), BigInt(3))), "2");
  EXPECT_EQ(text(divide(BigInt(7), BigInt(0))), "Division by 0");
  EXPECT_EQ(text(remainder(BigInt(7), BigInt(0))), "Division by 0");

  EXPECT_EQ(text(divide(num("10000000000000000000000000000000000012345"), num("100000000000000000007"))),
            "99999999999999999993");
  EXPECT_EQ(text(remainder(num("10000000000000000000000000000000000012345"), num("100000000000000000007"))),
            "12394");
  BigInt power3 = power(BigInt(3), BigInt(200)).value;
  BigInt divisor = power(BigInt(7), BigInt(50)).value + BigInt(1);
  EXPECT_EQ(text(divide(power3, divisor)), "147689269781346654697366079240021362541982576542364854");
  EXPECT_EQ(text(remainder(power3, divisor)), "660961375517012983622757890636535483476501");
  EXPECT_EQ(text(remainder(-power3, divisor)), "1137503667130399162997522449933113865774749");
  // Divisor larger than the dividend, and equal to it.
  EXPECT_EQ(text(divide(BigInt(5), divisor)), "0");
  EXPECT_EQ(text(remainder(BigInt(-5), divisor)), (divisor - BigInt(5)).toText());
  EXPECT_EQ(text(divide(-divisor, divisor)), "-1");
}

// With the truncating quotient q = a / b and the remainder r = a % b in 0 .. |b|-1:
// a = q * b + r when a >= 0 or r = 0, else a = q * b + r - |b|.
TEST(BigIntDivision, RandomisedQuotientRemainderRelation) {
  std::mt19937 random(20240531);
  auto randomNumber = [&](std::size_t maxDigits) {
    std::size_t digits = 1 + random() % maxDigits;
    std::string text = random() % 2 ? "-" : "";
    for (std::size_t i = 0; i < digits; ++i) text += static_cast<char>('0' + random() % 10);
    if (random() % 4 == 0) text += repeat(random() % 2 ? '9' : '0', random() % 30);  // runs that stress carries
    return num(text);
  };
  for (int round = 0; round < 3000; ++round) {
    BigInt a = randomNumber(round < 2500 ? 60 : 3000);
    BigInt b = randomNumber(round < 2500 ? 40 : 2000);
    if (b.isZero()) continue;
    BigInt q = divide(a, b).value;
    BigInt r = remainder(a, b).value;
    ASSERT_FALSE(r.isNegative());
    ASSERT_LT(r, b.abs());
    BigInt rebuilt = q * b + r;
    if (a.isNegative() && !r.isZero()) rebuilt -= b.abs();
    ASSERT_EQ(rebuilt, a) << a.toText() << " / " << b.toText();
    ASSERT_LT((a - q * b).abs(), b.abs());
  }
}

TEST(BigIntScaling, PowersOfTenTruncateTowardsZero) {
  EXPECT_EQ(timesPowerOfTen(num("-123"), 20).toText(), "-123" + repeat('0', 20));
  EXPECT_EQ(dividedByPowerOfTen(num("-123456789012345"), 4).toText(), "-12345678901");
  EXPECT_EQ(dividedByPowerOfTen(num("-5"), 1).toText(), "0");
  EXPECT_EQ(dividedByPowerOfTen(num("123"), 100).toText(), "0");
}

TEST(NumberTheory, Powers) {
  EXPECT_EQ(text(power(BigInt(2), BigInt(0))), "1");
  EXPECT_EQ(text(power(BigInt(2), BigInt(-3))), "1");
  EXPECT_EQ(text(power(BigInt(0), BigInt(0))), "1");
  EXPECT_EQ(text(power(BigInt(0), BigInt(5))), "0");
  EXPECT_EQ(text(power(BigInt(2), BigInt(10))), "1024");
  EXPECT_EQ(text(power(BigInt(-2), BigInt(3))), "-8");
  EXPECT_EQ(text(power(BigInt(2), BigInt(64))), "18446744073709551616");
  EXPECT_EQ(text(power(BigInt(-1), num("1000000000000000000001"))), "-1");
  EXPECT_EQ(text(power(BigInt(1), num("1000000000000000000000"))), "1");
  EXPECT_EQ(text(power(BigInt(2), num("1000000000000"))), "Infeasible argument '1000000000000'");
  EXPECT_EQ(text(power(BigInt(10), num("100000000000000000000000"))),
            "Infeasible argument '100000000000000000000000'");

  std::string big = power(BigInt(3), BigInt(100000)).value.toText();
  EXPECT_EQ(big.size(), 47713u);
  EXPECT_EQ(big.substr(0, 20), "13349714142304014694");
  EXPECT_EQ(big.substr(big.size() - 20), "74250669865522000001");
}

TEST(NumberTheory, Factorials) {
  EXPECT_EQ(text(factorial(BigInt(0))), "1");
  EXPECT_EQ(text(factorial(BigInt(1))), "1");
  EXPECT_EQ(text(factorial(BigInt(-5))), "1");
  EXPECT_EQ(text(factorial(BigInt(20))), "2432902008176640000");
  EXPECT_EQ(text(factorial(BigInt(25))), "15511210043330985984000000");
  std::string big = factorial(BigInt(6000)).value.toText();
  EXPECT_EQ(big.size(), 20066u);
  EXPECT_EQ(big.substr(0, 20), "26839997657267395961");
  EXPECT_EQ(big.size() - big.find_last_not_of('0') - 1, 1498u);  // trailing zeros of 6000!
  EXPECT_EQ(text(factorial(num("100000000"))), "Infeasible argument '100000000'");
}

TEST(NumberTheory, BinomialCoefficients) {
  EXPECT_EQ(text(binomial(BigInt(5), BigInt(2))), "10");
  EXPECT_EQ(text(binomial(BigInt(5), BigInt(5))), "1");
  EXPECT_EQ(text(binomial(BigInt(5), BigInt(0))), "1");
  EXPECT_EQ(text(binomial(BigInt(0), BigInt(0))), "1");
  EXPECT_EQ(text(binomial(BigInt(2), BigInt(5))), "0");
  EXPECT_EQ(text(binomial(BigInt(5), BigInt(-1))), "0");
  EXPECT_EQ(text(binomial(BigInt(-5), BigInt(-7))), "0");
  EXPECT_EQ(text(binomial(BigInt(-3), BigInt(2))), "0");
  EXPECT_EQ(text(binomial(BigInt(100), BigInt(50))), "100891344545564193334812497256");
  EXPECT_EQ(text(binomial(BigInt(60000000), BigInt(4))), "539999946000001649999985000000");
  EXPECT_EQ(text(binomial(power(BigInt(2), BigInt(64)).value, BigInt(3))),
            "1046183622564446793802490387074141837624854185052691496960");
  EXPECT_EQ(text(binomial(num("1000000000000000000000000000007"), BigInt(5))),
            "8333333333333333333333333333541666666666666666666666666668708333333333333333333333333343125000000000"
            "000000000000000022950000000000000000000000000021");
  std::string central = binomial(BigInt(1000000), BigInt(500000)).value.toText();
  EXPECT_EQ(central.size(), 301027u);
  EXPECT_EQ(central.substr(0, 20), "78995787722769708417");
  EXPECT_EQ(central.substr(central.size() - 10), "9409350784");
  EXPECT_EQ(text(binomial(num("100000000"), num("50000000"))), "Infeasible argument '50000000'");
}

TEST(NumberTheory, GcdAndLcm) {
  EXPECT_EQ(gcd(BigInt(12), BigInt(18)).toText(), "6");
  EXPECT_EQ(gcd(BigInt(-12), BigInt(18)).toText(), "6");
  EXPECT_EQ(gcd(BigInt(12), BigInt(-18)).toText(), "6");
  EXPECT_EQ(gcd(BigInt(0), BigInt(7)).toText(), "7");
  EXPECT_EQ(gcd(BigInt(0), BigInt(-7)).toText(), "7");
  EXPECT_EQ(gcd(BigInt(-7), BigInt(0)).toText(), "7");
  EXPECT_EQ(gcd(BigInt(0), BigInt(0)).toText(), "0");
  EXPECT_EQ(gcd(power(BigInt(10), BigInt(100)).value, BigInt(1)).toText(), "1");
  EXPECT_EQ(gcd(num("1153617588319010271378133306175011326520419737189530113840977835459429144159137562624"),
                num("11389905926514196288859377106276193050524850653861796892366710659787796175587023656058880"))
                .toText(),
            "910043815000214977332758527534256632492715260325658624");

  EXPECT_EQ(lcm(BigInt(4), BigInt(6)).toText(), "12");
  EXPECT_EQ(lcm(BigInt(-4), BigInt(6)).toText(), "-12");
  EXPECT_EQ(lcm(BigInt(-4), BigInt(-6)).toText(), "12");
  EXPECT_EQ(lcm(BigInt(0), BigInt(5)).toText(), "0");
  EXPECT_EQ(lcm(BigInt(5), BigInt(0)).toText(), "0");
  EXPECT_EQ(lcm(num("18446744073709551616"), num("18446744073709551616")).toText(), "18446744073709551616");
}

TEST(NumberTheory, Primality) {
  for (const char* composite : {"-7", "-2", "0", "1", "9", "25", "49", "91", "561", "3215031751",
                                "3825123056546413051", "18446744073709551615",
                                "18446744202558570721",  // the square of the prime 4294967311
                                "1296005097246682578520326409",  // a Carmichael number
                                "318665857834031151167461",  // a strong pseudoprime to the bases 2 .. 37
                                "1427247692705959880439315947500961989719490561"}) {
    EXPECT_FALSE(isPrime(num(composite))) << composite;
  }
  for (const char* prime : {"2", "3", "5", "7", "97", "131", "137", "4294967311", "18446744073709551557",
                            "618970019642690137449562111", "170141183460469231731687303715884105727"}) {
    EXPECT_TRUE(isPrime(num(prime))) << prime;
  }
  EXPECT_FALSE(isPrime(BigInt()));
  // Trial division for comparison below 3000.
  for (int n = 0; n < 3000; ++n) {
    bool expected = n >= 2;
    for (int d = 2; d * d <= n && expected; ++d) expected = n % d != 0;
    ASSERT_EQ(isPrime(BigInt(n)), expected) << n;
  }
}

TEST(NumberTheory, RandomValuesStayInTheirRange) {
  for (int i = 0; i < 200; ++i) EXPECT_EQ(randomBetween(BigInt(5), BigInt(5)).toText(), "5");
  BigInt low(-10), high = num("100000000000000000000");
  for (int i = 0; i < 500; ++i) {
    BigInt value = randomBetween(low, high);
    EXPECT_GE(value, low);
    EXPECT_LE(value, high);
    BigInt reversed = randomBetween(BigInt(3), BigInt(-3));
    EXPECT_GE(reversed, BigInt(-3));
    EXPECT_LE(reversed, BigInt(3));
  }
}

TEST(NumberTheory, CharacterCodes) {
  EXPECT_EQ(characterCode(BigInt(65)).value, 'A');
  EXPECT_EQ(characterCode(BigInt(127)).value, 127);
  EXPECT_EQ(characterCode(BigInt(0)).value, 255);
  for (const char* bad : {"128", "-1", "100000000000000000000065"}) {
    EXPECT_EQ(Failure(characterCode(num(bad)).failure).text(), "Expect integer value between 0 and 127") << bad;
  }
}

TEST(NumberTheory, IntegerSquareRoots) {
  EXPECT_EQ(text(integerSquareRoot(BigInt(0))), "0");
  EXPECT_EQ(text(integerSquareRoot(BigInt(1))), "1");
  EXPECT_EQ(text(integerSquareRoot(BigInt(99))), "9");
  EXPECT_EQ(text(integerSquareRoot(BigInt(100))), "10");
  EXPECT_EQ(text(integerSquareRoot(num("1" + repeat('0', 41)))), "316227766016837933199");
  BigInt square = num("340282366920938463463374607431768211456");  // 2^128
  EXPECT_EQ(text(integerSquareRoot(square)), "18446744073709551616");
  EXPECT_EQ(text(integerSquareRoot(square - BigInt(1))), "18446744073709551615");
  EXPECT_EQ(text(integerSquareRoot(BigInt(-4))), "Infeasible function argument '-4'");
}

}  // namespace
}  // namespace kavor
