#include "numbers/products.h"

#include <cmath>
#include <utility>

#include "numbers/magnitude.h"

namespace kavor {

namespace {

constexpr std::uint64_t kFactorLimit = std::uint64_t{1} << 32;  // factors of multiplySmall
constexpr double kLn10 = 2.302585092994045684;

}  // namespace

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
    return BigInt::fromMagnitude(std::move(product), false);
  }
  std::size_t middle = begin + (end - begin) / 2;
  return productOf(factors, begin, middle) * productOf(factors, middle, end);
}

BigInt consecutiveProduct(std::uint64_t first, std::uint64_t count) {
  if (count == 0) return BigInt(1);
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

double log10Magnitude(const BigInt& value) {
  const LimbVector& limbs = value.limbs();
  std::size_t size = limbs.size();
  double top = limbs[size - 1];
  if (size >= 2) top += limbs[size - 2] / 1e9;
  if (size >= 3) top += limbs[size - 3] / 1e18;
  return std::log10(top) + 9.0 * static_cast<double>(size - 1);
}

double log10Factorial(double n) { return std::lgamma(n + 1.0) / kLn10; }

Outcome<BigInt> refuseArgument(const BigInt& argument) {
  return Outcome<BigInt>::refusal(Refusal::of("unzarg", argument.toText()));
}

}  // namespace kavor
