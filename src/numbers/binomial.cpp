// Binomial coefficients. Dividing the product n (n-1) ... (n-k+1) by k! with long division
// would be quadratic in the size of the numerator, so neither method here divides a large
// number: for moderate n the result is built from its prime factorisation; for large n the
// primes of k! are cancelled from the numerator's factors before they are multiplied.
#include <cstdint>
#include <vector>

#include "numbers/magnitude.h"
#include "numbers/number_theory.h"
#include "numbers/products.h"

namespace kavor {

namespace {

// Up to this n the prime factorisation may be used; its sieve takes n bits. The largest n
// with a central coefficient below kMaxResultDigits digits lies below it, so beyond it the
// cancellation method only meets k far smaller than n.
constexpr std::uint64_t kSieveLimit = 40000000;

std::vector<std::uint32_t> primesUpTo(std::uint32_t limit) {
  std::vector<std::uint32_t> primes;
  std::vector<bool> composite(std::size_t{limit} + 1, false);
  for (std::uint64_t p = 2; p <= limit; ++p) {
    if (composite[p]) continue;
    primes.push_back(static_cast<std::uint32_t>(p));
    for (std::uint64_t multiple = p * p; multiple <= limit; multiple += p) composite[multiple] = true;
  }
  return primes;
}

// The exponent of the prime p in n! (Legendre's formula).
std::uint64_t exponentInFactorial(std::uint64_t n, std::uint64_t p) {
  std::uint64_t exponent = 0;
  for (std::uint64_t rest = n / p; rest != 0; rest /= p) exponent += rest;
  return exponent;
}

// C(n, k) as the product of p^e over the primes p <= n, e being the exponent of p in n!
// less its exponents in k! and (n - k)!.
BigInt binomialByPrimes(std::uint32_t n, std::uint32_t k) {
  std::vector<std::uint32_t> factors;
  for (std::uint32_t p : primesUpTo(n)) {
    std::uint64_t exponent = exponentInFactorial(n, p) - exponentInFactorial(k, p) - exponentInFactorial(n - k, p);
    for (; exponent > 0; --exponent) factors.push_back(p);
  }
  return productOf(factors, 0, factors.size());
}

// The numerator's factors first, first + 1, ... as machine integers.
class MachineTerms {
 public:
  MachineTerms(std::uint64_t first, std::uint64_t count) {
    values_.reserve(count);
    for (std::uint64_t i = 0; i < count; ++i) values_.push_back(first + i);
  }
  bool divisibleBy(std::size_t i, std::uint32_t p) const { return values_[i] % p == 0; }
  void divideBy(std::size_t i, std::uint32_t p) { values_[i] /= p; }
  BigInt term(std::size_t i) const { return BigInt::fromUnsigned(values_[i]); }

 private:
  std::vector<std::uint64_t> values_;  // one factor per position, divided down in place
};

// The same for factors beyond 64 bits.
class LargeTerms {
 public:
  LargeTerms(const BigInt& first, std::uint64_t count) {
    values_.reserve(count);
    LimbVector value = first.limbs();
    for (std::uint64_t i = 0; i < count; ++i) {
      values_.push_back(value);
      magnitude::addSmall(value, 1);
    }
  }
  bool divisibleBy(std::size_t i, std::uint32_t p) const {
    return magnitude::remainderSmall(values_[i].data(), values_[i].size(), p) == 0;
  }
  void divideBy(std::size_t i, std::uint32_t p) { magnitude::divideSmall(values_[i], p); }
  BigInt term(std::size_t i) const { return BigInt::fromMagnitude(values_[i], false); }

 private:
  std::vector<LimbVector> values_;  // one factor per position, divided down in place
};

template <class Terms>
BigInt productOfTerms(const Terms& terms, std::size_t begin, std::size_t end) {
  if (end - begin == 1) return terms.term(begin);
  std::size_t middle = begin + (end - begin) / 2;
  return productOfTerms(terms, begin, middle) * productOfTerms(terms, middle, end);
}

// C(n, k) = first (first + 1) ... (first + k - 1) / k! with first = n - k + 1: every prime
// p <= k is divided out of the multiples of p among the factors until its exponent in k!
// is used up. The numerator holds at least that exponent because the quotient is whole.
template <class Terms>
BigInt binomialByCancellation(Terms terms, const BigInt& first, std::uint32_t k) {
  for (std::uint32_t p : primesUpTo(k)) {
    std::uint64_t exponent = exponentInFactorial(k, p);
    std::uint32_t offset = magnitude::remainderSmall(first.limbs().data(), first.limbs().size(), p);
    for (std::uint64_t i = (p - offset) % p; i < k && exponent > 0; i += p) {
      while (exponent > 0 && terms.divisibleBy(i, p)) {
        terms.divideBy(i, p);
        --exponent;
      }
    }
  }
  return productOfTerms(terms, 0, k);
}

}  // namespace

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
  if (digits > kMaxResultDigits || *count > UINT32_MAX) return refuseArgument(k);

  auto shortCount = static_cast<std::uint32_t>(*count);
  // The sieve of the prime method costs n bits and time in n; it pays off when k is a fair
  // share of n, otherwise the numerator's k factors are the cheaper start.
  if (top && *top <= kSieveLimit && *count >= *top / 16)
    return Outcome<BigInt>::success(binomialByPrimes(static_cast<std::uint32_t>(*top), shortCount));
  BigInt first = n - shorter + BigInt(1);
  if (top)  // every factor lies below n, so all of them fit 64 bits
    return Outcome<BigInt>::success(
        binomialByCancellation(MachineTerms(*first.magnitudeToUnsigned(), *count), first, shortCount));
  return Outcome<BigInt>::success(binomialByCancellation(LargeTerms(first, *count), first, shortCount));
}

}  // namespace kavor
