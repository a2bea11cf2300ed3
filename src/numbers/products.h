// Product trees and result-size estimates shared by factorial and binomial coefficient.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "numbers/refusal.h"
#include "numbers/bigint.h"

namespace kavor {

// Product of factors[begin..end), each below 2^32, multiplied as a balanced tree so that
// the large multiplications meet operands of equal size; 1 for an empty range.
BigInt productOf(const std::vector<std::uint32_t>& factors, std::size_t begin, std::size_t end);

// first * (first + 1) * ... * (first + count - 1); 1 for count 0.
BigInt consecutiveProduct(std::uint64_t first, std::uint64_t count);

// log10 of a non-zero magnitude, good to about 15 digits.
double log10Magnitude(const BigInt& value);

// log10(n!) for any n that fits a double.
double log10Factorial(double n);

// The refusal of a result that would have more than kMaxResultDigits digits:
// "Infeasible argument '<argument>'".
Outcome<BigInt> refuseArgument(const BigInt& argument);

}  // namespace kavor
