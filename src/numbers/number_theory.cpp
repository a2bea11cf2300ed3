#include "numbers/number_theory.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <utility>
#include <vector>

#include "core/messages.h"
#include "numbers/magnitude.h"

namespace kavor {

namespace {

constexpr std::uint64_t kFactorLimit = std::uint64_t{1} << 32;  // factors of multiplySmall
constexpr double kLn10 = 2.302585092994045684;
// Binomial coefficients with n up to this bound come from their prime factorisation, which
// needs a sieve of n bits but no long division.
constexpr std::uint64_t kSieveLimit = 20000000;

Outcome<BigInt> refuseArgument(const BigInt& argument) {
  return Outcome<BigInt>::refusal(fillKey("unzarg", {argument.toText()}));
}

// log10 of a non-zero magnitude, good to about 15 digits.
double log10Magnitude(const BigInt& value) {
  const LimbVector& limbs = value.limbs();
  std::size_t size = limbs.size();
  double top = limbs[size - 1];
  if (size >= 2) top += limbs[size - 2] / 1e9;
  if (size >= 3) top += limbs[size - 3] / 1e18;
  return std::log10(top) + 9.0 * static_cast<double>(size - 1);
}

// log10(n!) for any n that fits a double.
double log10Factorial(double n) { return std::lgamma(n + 1.0) / kLn10; }

BigInt fromLimbs(LimbVector limbs) { return BigInt::fromMagnitude(std::move(limbs), false); }

// Product of a list of factors below 2^32, as a balanced tree so that the large
// multiplications meet operands of equal size.
BigInt productOf(const std::vector<std::uint32_t>& factors, std::size_t begin, std::size_t end) {
  if (end - begin <= 16) {
    LimbVector product;
    product.push_back(1);
    std::uint64_t chunk = 1;
    for (std::size_t i = begin; i < end; ++i) {
      if (chunk * factors[i] >= kFactorLimit) {
        magnitude::multiplySmall(product, static_cast<std::uint32_t>(chunk));
        chunk = 1;
      }
      chunk *= factors[i];
    }
    magnitude::multiplySmall(product, static_cast<std::uint32_t>(chunk));
    return fromLimbs(std::move(product));
  }
  std::size_t middle = begin + (end - begin) / 2;
  return productOf(factors, begin, middle) * productOf(factors, middle, end);
}

// first * (first + 1) * ... * (first + count - 1) for count >= 1, as a balanced tree.
BigInt consecutiveProduct(std::uint64_t first, std::uint64_t count) {
  if (first + count <= kFactorLimit && count <= 4096) {
    std::vector<std::uint32_t> factors;
    factors.reserve(count);
    for (std::uint64_t i = 0; i < count; ++i) factors.push_back(static_cast<std::uint32_t>(first + i));
    return productOf(factors, 0, factors.size());
  }
  if (count == 1) return BigInt::fromUnsigned(first);
  std::uint64_t half = count / 2;
  return consecutiveProduct(first, half) * consecutiveProduct(first + half, count - half);
}

// The same for a first factor of any size.
BigInt consecutiveProduct(const BigInt& first, std::uint64_t count) {
  if (auto small = first.magnitudeToUnsigned(); small && *small <= UINT64_MAX - count)
    return consecutiveProduct(*small, count);
  if (count == 1) return first;
  std::uint64_t half = count / 2;
  return consecutiveProduct(first, half) * consecutiveProduct(first + BigInt::fromUnsigned(half), count - half);
}

// C(n, k) from the exponent of each prime p <= n, which is the number of carries when k
// and n - k are added in base p (Legendre's formula).
BigInt binomialByPrimes(std::uint32_t n, std::uint32_t k) {
  std::vector<bool> composite(std::size_t{n} + 1, false);
  std::vector<std::uint32_t> factors;
  for (std::uint64_t p = 2; p <= n; ++p) {
    if (composite[p]) continue;
    for (std::uint64_t multiple = p * p; multiple <= n; multiple += p) composite[multiple] = true;
    std::uint64_t exponent = 0;
    for (std::uint64_t power = p; power <= n; power *= p) {
      exponent += n / power - k / power - (n - k) / power;
      if (power > n / p) break;
    }
    for (; exponent > 0; --exponent) factors.push_back(static_cast<std::uint32_t>(p));
  }
  if (factors.empty()) return BigInt(1);
  return productOf(factors, 0, factors.size());
}

}  // namespace

Outcome<BigInt> power(const BigInt& base, const BigInt& exponent) {
  if (exponent.signum() <= 0) return Outcome<BigInt>::success(BigInt(1));
  if (base.signum() == 0) return Outcome<BigInt>::success(BigInt(0));
  if (base.limbs().size() == 1 && base.limbs()[0] == 1) {
    bool negative = base.isNegative() && !exponent.isEven();
    return Outcome<BigInt>::success(BigInt(negative ? -1 : 1));
  }
  auto count = exponent.magnitudeToUnsigned();
  if (!count || static_cast<double>(*count) * log10Magnitude(base) > kMaxResultDigits)
    return refuseArgument(exponent);

  // Left to right over the bits of the exponent: square, and multiply by the base where the
  // bit is set; the multiplications by the base are cheap when it is small.
  int bit = 63;
  while ((*count >> bit & 1) == 0) --bit;
  BigInt result = base;
  for (--bit; bit >= 0; --bit) {
    result = result * result;
    if (*count >> bit & 1) result *= base;
  }
  return Outcome<BigInt>::success(std::move(result));
}

Outcome<BigInt> factorial(const BigInt& n) {
  if (n < BigInt(2)) return Outcome<BigInt>::success(BigInt(1));
  auto count = n.magnitudeToUnsigned();
  if (!count || log10Factorial(static_cast<double>(*count)) > kMaxResultDigits) return refuseArgument(n);
  return Outcome<BigInt>::success(consecutiveProduct(std::uint64_t{2}, *count - 1));
}

Outcome<BigInt> binomial(const BigInt& n, const BigInt& k) {
  if (k.isNegative() || n < k) return Outcome<BigInt>::success(BigInt(0));
  // C(n, k) = C(n, n - k): the shorter product is cheaper.
  BigInt rest = n - k;
  const BigInt& shorter = rest < k ? rest : k;
  if (shorter.signum() == 0) return Outcome<BigInt>::success(BigInt(1));
  auto count = shorter.magnitudeToUnsigned();
  if (!count) return refuseArgument(k);
  double items = static_cast<double>(*count);
  // log10 C(n, k) through lgamma while n is exact as a double; beyond, the upper bound
  // log10(n^k / k!), which is close because k is then tiny against n.
  auto top = n.magnitudeToUnsigned();
  double digits = top && *top < (std::uint64_t{1} << 53)
                      ? log10Factorial(static_cast<double>(*top)) - log10Factorial(items) -
                            log10Factorial(static_cast<double>(*top) - items)
                      : items * log10Magnitude(n) - log10Factorial(items);
  if (digits > kMaxResultDigits) return refuseArgument(k);

  if (top && *top <= kSieveLimit && *count > 64)
    return Outcome<BigInt>::success(binomialByPrimes(static_cast<std::uint32_t>(*top), static_cast<std::uint32_t>(*count)));
  BigInt numerator = consecutiveProduct(rest < k ? k + BigInt(1) : rest + BigInt(1), *count);
  BigInt denominator = consecutiveProduct(std::uint64_t{1}, *count);
  return divide(numerator, denominator);
}

BigInt gcd(const BigInt& a, const BigInt& b) {
  LimbVector x = a.limbs();
  LimbVector y = b.limbs();
  while (!y.empty()) {
    if (x.size() <= 2 && y.size() <= 2) {
      // Both below 10^18: finish in machine arithmetic.
      std::uint64_t u = *fromLimbs(x).magnitudeToUnsigned();
      std::uint64_t v = *fromLimbs(y).magnitudeToUnsigned();
      while (v != 0) u = std::exchange(v, u % v);
      return BigInt::fromUnsigned(u);
    }
    LimbVector rest;
    magnitude::divide(x.data(), x.size(), y.data(), y.size(), nullptr, &rest);
    x = std::move(y);
    y = std::move(rest);
  }
  return fromLimbs(std::move(x));
}

BigInt lcm(const BigInt& a, const BigInt& b) {
  if (a.signum() == 0 || b.signum() == 0) return BigInt(0);
  BigInt product = divide(a.abs(), gcd(a, b)).value * b.abs();
  return a.isNegative() != b.isNegative() ? -product : product;
}

BigInt randomBetween(const BigInt& low, const BigInt& high) {
  BigInt drawn(std::rand());
  BigInt scaled = (high - low) * drawn;
  return low + divide(scaled, BigInt(2147483647)).value;
}

Outcome<unsigned char> characterCode(const BigInt& value) {
  if (!value.fitsIn(0, 127)) return Outcome<unsigned char>::refusal(message("erwintwert0bis127"));
  auto code = static_cast<unsigned char>(*value.toInt64());
  return Outcome<unsigned char>::success(code == 0 ? 255 : code);
}

Outcome<BigInt> integerSquareRoot(const BigInt& value) {
  if (value.isNegative()) return Outcome<BigInt>::refusal(fillKey("unzfunarg", {value.toText()}));
  if (value.signum() == 0) return Outcome<BigInt>::success(BigInt(0));
  // Newton's iteration from a start above the root descends to the floor of the root.
  BigInt root = timesPowerOfTen(BigInt(1), (value.digitCount() + 1) / 2);
  BigInt two(2);
  while (true) {
    BigInt next = divide(root + divide(value, root).value, two).value;
    if (next >= root) return Outcome<BigInt>::success(std::move(root));
    root = std::move(next);
  }
}

}  // namespace kavor
