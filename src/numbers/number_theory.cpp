#include "numbers/number_theory.h"

#include <cstdint>
#include <cstdlib>
#include <utility>

#include "numbers/magnitude.h"
#include "numbers/products.h"

namespace kavor {

namespace {

BigInt fromLimbs(LimbVector limbs) { return BigInt::fromMagnitude(std::move(limbs), false); }

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
  if (!value.fitsIn(0, 127)) return Outcome<unsigned char>::refusal(Refusal::of("erwintwert0bis127"));
  auto code = static_cast<unsigned char>(*value.toInt64());
  return Outcome<unsigned char>::success(code == 0 ? 255 : code);
}

Outcome<BigInt> integerSquareRoot(const BigInt& value) {
  if (value.isNegative()) return Outcome<BigInt>::refusal(Refusal::of("unzfunarg", value.toText()));
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
