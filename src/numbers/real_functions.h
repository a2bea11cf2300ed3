// The elementary functions of reals and the constants pi and e, each to `precision` digits
// after the point: the result is the true value cut towards zero, off by at most one unit
// of the last digit (a value whose digits beyond the precision are all 9s or all 0s may
// land on the neighbouring boundary). Exact cases stay exact: sqrt(4), lg(1000), 2^10.
//
// Arguments outside a function's domain are refused with "Infeasible function argument
// '<argument>'", the argument written at the output precision in force. So are arguments
// whose result would have more than 50000 digits before the point, or (for the circular
// functions) that have more than 50000 digits before theirs (roots: 100000): their cost
// grows with the square of those digits.
#pragma once

#include <cstdint>

#include "numbers/bigreal.h"
#include "numbers/refusal.h"

namespace kavor {

// Which function of one argument.
enum class RealFunction {
  Sqrt, Cbrt, Exp, Ln, Ld, Lg,
  Sin, Cos, Tan, Cot, Arcsin, Arccos, Arctan, Arccot,
  Sinh, Cosh, Tanh, Coth, Arsinh, Arcosh, Artanh, Arcoth,
};

Outcome<BigReal> computeFunction(RealFunction function, const BigReal& x, int64_t precision);

// The root of degree `degree`: x^(1/degree); a negative x only for an odd integral degree.
Outcome<BigReal> root(const BigReal& x, const BigReal& degree, int64_t precision);
// The logarithm of x to `base` (positive, not 1).
Outcome<BigReal> logarithm(const BigReal& x, const BigReal& base, int64_t precision);
// x^y; a negative x only for an integral y, zero only for y >= 0 (0^0 = 1).
Outcome<BigReal> power(const BigReal& x, const BigReal& y, int64_t precision);

BigReal piConstant(int64_t precision);
BigReal eConstant(int64_t precision);

}  // namespace kavor
