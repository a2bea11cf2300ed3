// Every function works in fixed point: a BigReal at a scale w is a value known to about
// 10^-w. A function asked for P digits computes at P + kGuard, so that the error of the
// last steps stays far below the last digit kept, then finish() cuts the result to P.
//
// Argument reduction keeps every series short at any precision: exp works on
// x - k ln 10 (so exp(1000) is 10^434 times a small series) halved further by squaring;
// the circular functions on x minus a multiple of pi/2 taken with as many extra digits of
// pi as x has before its point (so sin(10^6) loses nothing); arctan on its argument halved
// by the half-angle formula. ln solves exp(y) = x by Halley's iteration, tripling the
// digits each step. Square and cube roots are exact integer roots of the scaled mantissa.
#include "numbers/real_functions.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>

#include "numbers/number_theory.h"

namespace kavor {

namespace {

constexpr int64_t kGuard = 12;      // digits computed beyond the precision asked for
constexpr double kLn10 = 2.302585092994045684;
// The most digits a function value may have before its point, and the most digits of pi
// the circular functions take to reduce x modulo pi/2 (as many as x has before its point).
// The constants behind them cost time quadratic in their digits; beyond this many a result
// would take minutes, so the argument is refused instead.
constexpr double kMaxFunctionDigits = 50000;

// An argument outside the domain. Thrown inside this file only: the public functions turn
// it into their refusal.
struct Infeasible {
  BigReal argument;
};
[[noreturn]] void infeasible(const BigReal& argument) { throw Infeasible{argument}; }

BigInt divideSmall(const BigInt& a, uint32_t divisor) { return divide(a, BigInt(static_cast<int64_t>(divisor))).value; }
BigInt unit(int64_t scale) { return timesPowerOfTen(BigInt(1), static_cast<size_t>(scale)); }
size_t digitsOf(int64_t scale) { return static_cast<size_t>(scale); }

BigReal multiplied(const BigReal& a, const BigReal& b, int64_t scale) { return (a * b).rescaled(scale); }
// a / b at `scale`; b is not zero.
BigReal divided(const BigReal& a, const BigReal& b, int64_t scale) { return divide(a, b, scale).value; }
BigReal halved(const BigReal& a) { return BigReal(divideSmall(a.mantissa(), 2), a.scale()); }

// The value as a double, for estimates; saturates far outside the double range.
double approximate(const BigReal& x) {
  const LimbVector& limbs = x.mantissa().limbs();
  if (limbs.empty()) return 0;
  double lead = limbs.back();
  int64_t exponent = 9 * static_cast<int64_t>(limbs.size() - 1) - x.scale();
  if (limbs.size() >= 2) {
    lead = lead * 1e9 + limbs[limbs.size() - 2];
    exponent -= 9;
  }
  double sign = x.isNegative() ? -1 : 1;
  if (exponent > 280) return sign * 1e300;
  if (exponent < -340) return 0;
  return sign * lead * std::pow(10.0, static_cast<double>(exponent));
}

BigReal fromDouble(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", value);
  return BigReal::fromText(text).value;
}

// Decimal digits of |k|.
int64_t digitCount(int64_t k) {
  int64_t count = 1;
  for (k = k < 0 ? -k : k; k >= 10; k /= 10) ++count;
  return count;
}

// ---- constants, kept at the highest precision asked for so far ---------------------------

struct CachedConstant {
  BigReal value;
  int64_t scale = -1;  // digits of `value` that are right; -1 before the first use
};

template <class Compute>
BigReal cached(CachedConstant& constant, int64_t scale, Compute compute) {
  if (constant.scale < scale) {
    int64_t wanted = std::max(scale, constant.scale + constant.scale / 2);
    constant.value = compute(wanted + 5).rescaled(wanted);
    constant.scale = wanted;
  }
  return constant.value.rescaled(scale);
}

// Sum of 1 / ((2k+1) n^(2k+1)), alternating in sign or not: arctan(1/n) and artanh(1/n).
BigInt inverseSeries(uint32_t n, int64_t scale, bool alternating) {
  BigInt term = divideSmall(unit(scale), n);
  BigInt sum = term;
  uint32_t square = n * n;
  for (uint32_t k = 1;; ++k) {
    term = divideSmall(term, square);
    if (term.isZero()) return sum;
    BigInt part = divideSmall(term, 2 * k + 1);
    if (alternating && k % 2 == 1) sum -= part;
    else sum += part;
  }
}

BigReal piAt(int64_t scale) {
  static CachedConstant pi;
  return cached(pi, scale, [](int64_t w) {
    // Machin: pi = 16 arctan(1/5) - 4 arctan(1/239).
    BigInt sum = BigInt(16) * inverseSeries(5, w, true) - BigInt(4) * inverseSeries(239, w, true);
    return BigReal(std::move(sum), w);
  });
}

BigReal ln2At(int64_t scale) {
  static CachedConstant ln2;
  // ln 2 = 2 artanh(1/3).
  return cached(ln2, scale, [](int64_t w) { return BigReal(BigInt(2) * inverseSeries(3, w, false), w); });
}

BigReal ln10At(int64_t scale) {
  static CachedConstant ln10;
  return cached(ln10, scale, [](int64_t w) {
    // ln 10 = 3 ln 2 + ln(5/4), and ln(5/4) = 2 artanh(1/9).
    BigInt sum = BigInt(3) * ln2At(w).mantissa() + BigInt(2) * inverseSeries(9, w, false);
    return BigReal(std::move(sum), w);
  });
}

BigReal eAt(int64_t scale) {
  static CachedConstant e;
  return cached(e, scale, [](int64_t w) {
    BigInt term = unit(w);
    BigInt sum = term;
    for (uint32_t k = 1;; ++k) {
      term = divideSmall(term, k);
      if (term.isZero()) return BigReal(std::move(sum), w);
      sum += term;
    }
  });
}

// ---- exp and ln -----------------------------------------------------------------------

// e^r for a small |r| (below 3), at `scale`: r is halved s times, the series summed, and
// the sum squared s times, which costs s/3 digits of the result.
BigReal expSeries(const BigReal& r, int64_t scale) {
  int64_t halvings = static_cast<int64_t>(std::sqrt(static_cast<double>(scale))) + 2;
  int64_t w = scale + halvings / 3 + 3;
  BigInt x = r.rescaled(w).mantissa();
  for (int64_t left = halvings; left > 0; left -= 30) x = divideSmall(x, 1u << std::min<int64_t>(left, 30));
  BigInt sum = unit(w) + x;
  BigInt term = x;
  for (uint32_t n = 2;; ++n) {
    term = divideSmall(dividedByPowerOfTen(term * x, digitsOf(w)), n);
    if (term.isZero()) break;
    sum += term;
  }
  for (int64_t i = 0; i < halvings; ++i) sum = dividedByPowerOfTen(sum * sum, digitsOf(w));
  return BigReal(std::move(sum), w).rescaled(scale);
}

// e^x to `scale` digits after the point: 10^k e^r with r = x - k ln 10.
BigReal expAt(const BigReal& x, int64_t scale) {
  if (x.isZero()) return BigReal(1);
  double estimate = approximate(x);
  if (estimate < -static_cast<double>(scale + 2) * kLn10) return BigReal(0);
  if (estimate > kMaxFunctionDigits * kLn10) infeasible(x);
  int64_t k = static_cast<int64_t>(std::floor(estimate / kLn10));
  int64_t w = scale + std::max<int64_t>(k, 0) + 3;
  int64_t reductionScale = w + digitCount(k) + 2;
  BigReal r = x.rescaled(reductionScale) - ln10At(reductionScale) * BigReal(k);
  BigReal power = expSeries(r.rescaled(w), w);
  return BigReal(power.mantissa(), w - k).rescaled(scale);
}

// ln x for x > 0 to `scale` digits: x = y 10^j with y near 1 .. 10, and ln y solved from
// exp by Halley's iteration, which triples the right digits each step, so the early steps
// run at a fraction of the final precision.
BigReal lnAt(const BigReal& x, int64_t scale) {
  int64_t j = static_cast<int64_t>(std::floor(x.magnitude()));
  BigReal y(x.mantissa(), x.scale() + j);
  int64_t w = scale + 4;
  BigReal root = fromDouble(std::log(approximate(y)));
  int64_t known = 15;  // digits of `root` that are right
  for (int step = 0; step < 60; ++step) {
    int64_t wi = std::min(w, 3 * known + 5);
    BigReal target = y.rescaled(wi);
    BigReal power = expAt(root, wi);
    BigReal delta = divided(BigReal(2) * (target - power), target + power, wi);
    root = (root + delta).rescaled(wi);
    if (wi == w && (delta.isZero() || delta.magnitude() < -static_cast<double>(w) / 3 - 2)) break;
    known = std::min(3 * known, 3 * w);
  }
  if (j == 0) return root.rescaled(scale);
  int64_t reductionScale = w + digitCount(j) + 2;
  return (root + ln10At(reductionScale) * BigReal(j)).rescaled(scale);
}

// ---- roots ----------------------------------------------------------------------------

// The largest r with r^n <= value, for value >= 0 and n >= 2, by Newton's iteration from a
// start near the root.
BigInt integerRoot(const BigInt& value, int n) {
  if (value.signum() == 0) return BigInt(0);
  double digits = BigReal(value, 0).magnitude();
  double q = digits / n;
  double margin = 1 + 1e-6 + 1e-14 * q;
  int64_t whole = static_cast<int64_t>(std::floor(q));
  BigInt x;
  if (whole <= 15) {
    x = BigInt(static_cast<int64_t>(std::ceil(std::pow(10.0, q) * margin)) + 1);
  } else {
    double lead = std::pow(10.0, q - static_cast<double>(whole)) * 1e15 * margin;
    x = timesPowerOfTen(BigInt(static_cast<int64_t>(lead) + 1), static_cast<size_t>(whole - 15));
  }
  BigInt degree(n), below(n - 1);
  auto step = [&](const BigInt& from) {
    BigInt power = from;
    for (int i = 2; i < n; ++i) power *= from;
    return divide(below * from + divide(value, power).value, degree).value;
  };
  // One step from any start lands at or above the root; from there the steps descend.
  x = step(x);
  while (true) {
    BigInt next = step(x);
    if (next >= x) return x;
    x = std::move(next);
  }
}

// The n-th root of |x| cut to `scale` digits: the integer root of m 10^(n scale - s).
BigReal exactRoot(const BigReal& x, int n, int64_t scale) {
  // The root's own digits before the point are a fraction of x's; it is x's that cost.
  if (x.magnitude() > 2 * kMaxFunctionDigits) infeasible(x);
  BigInt magnitude = x.mantissa().abs();
  int64_t shift = n * scale - x.scale();
  magnitude = shift >= 0 ? timesPowerOfTen(magnitude, digitsOf(shift)) : dividedByPowerOfTen(magnitude, digitsOf(-shift));
  return BigReal(integerRoot(magnitude, n), scale);
}

BigReal sqrtAt(const BigReal& x, int64_t scale) { return exactRoot(x, 2, scale); }

// ---- quotients whose divisor may be tiny ------------------------------------------------

// numerator / denominator to `precision` digits, the two computed by `parts(scale)` with
// enough digits that a small denominator or a large quotient loses nothing. A denominator
// that stays zero, which no true value of these functions has, is refused.
template <class Parts>
BigReal accurateQuotient(Parts parts, int64_t precision, const BigReal& argument) {
  int64_t w = precision + kGuard;
  for (int round = 0; round < 8; ++round) {
    auto [numerator, denominator] = parts(w);
    if (denominator.isZero()) {
      w = 2 * w + 10;
      continue;
    }
    double small = std::max(0.0, -std::floor(denominator.magnitude()));
    double large = numerator.isZero() ? 0 : std::max(0.0, numerator.magnitude() - denominator.magnitude());
    int64_t needed = precision + kGuard + static_cast<int64_t>(small + std::ceil(large)) + 1;
    if (needed <= w) return divided(numerator, denominator, precision + kGuard);
    w = needed;
  }
  infeasible(argument);
}

// ---- circular functions -----------------------------------------------------------------

struct Reduced {
  BigReal r;     // x - k pi/2, |r| <= pi/4
  int quadrant;  // k modulo 4
};

Reduced reduceQuarter(const BigReal& x, int64_t scale) {
  double before = std::max(0.0, x.magnitude());
  if (before > kMaxFunctionDigits) infeasible(x);
  int64_t w = scale + static_cast<int64_t>(before) + 5;
  BigReal quarter = halved(piAt(w));
  BigReal value = x.rescaled(w);
  BigInt k = divide(value.mantissa(), quarter.mantissa()).value;
  BigReal r = value - quarter * BigReal(k, 0);
  BigReal half = halved(quarter);
  while (r > half) {
    r = r - quarter;
    ++k;
  }
  while (r < -half) {
    r = r + quarter;
    --k;
  }
  int quadrant = static_cast<int>(*remainder(k, BigInt(4)).value.toInt64());
  return {r.rescaled(scale), quadrant};
}

// sin r (odd) or cos r (even) by their series, for |r| <= 1.
BigReal circularSeries(const BigReal& r, bool odd, int64_t scale) {
  BigInt x = r.rescaled(scale).mantissa();
  BigInt square = dividedByPowerOfTen(x * x, digitsOf(scale));
  BigInt term = odd ? x : unit(scale);
  BigInt sum = term;
  for (uint32_t n = odd ? 2 : 1;; n += 2) {
    term = divideSmall(dividedByPowerOfTen(term * square, digitsOf(scale)), n * (n + 1));
    if (term.isZero()) break;
    term = -term;
    sum += term;
  }
  return BigReal(std::move(sum), scale);
}

BigReal sinAt(const BigReal& x, int64_t scale, bool cosine) {
  if (x.isZero()) return BigReal(cosine ? 1 : 0);
  int64_t w = scale + 3;
  Reduced reduced = reduceQuarter(x, w);
  int quadrant = (reduced.quadrant + (cosine ? 1 : 0)) % 4;
  BigReal value = circularSeries(reduced.r, quadrant % 2 == 0, w);
  if (quadrant >= 2) value = -value;
  return value.rescaled(scale);
}

// arctan x: 1/x beyond 1, then the half-angle formula a few times, then the series.
BigReal arctanAt(const BigReal& x, int64_t scale) {
  if (x.isZero()) return BigReal(0);
  int64_t w = scale + 6;
  BigReal a = x.abs();
  bool inverted = a > BigReal(1);
  if (inverted) a = divided(BigReal(1), a, w);
  int halvings = w > 60 ? 7 : 3;
  BigReal one(1);
  for (int i = 0; i < halvings; ++i) a = divided(a, one + sqrtAt(one + a * a, w), w);
  BigInt value = a.rescaled(w).mantissa();
  BigInt square = dividedByPowerOfTen(value * value, digitsOf(w));
  BigInt term = value;
  BigInt sum = value;
  for (uint32_t k = 1;; ++k) {
    term = -dividedByPowerOfTen(term * square, digitsOf(w));
    if (term.isZero()) break;
    sum += divideSmall(term, 2 * k + 1);
  }
  for (int i = 0; i < halvings; ++i) sum *= BigInt(2);
  BigReal result(std::move(sum), w);
  if (inverted) result = halved(piAt(w)) - result;
  if (x.isNegative()) result = -result;
  return result.rescaled(scale);
}

BigReal arcsinAt(const BigReal& x, int64_t scale) {
  BigReal a = x.abs();
  BigReal one(1);
  if (a > one) infeasible(x);
  int64_t w = scale + 4;
  BigReal result;
  if (a == one) {
    result = halved(piAt(w));
  } else {
    BigReal root = sqrtAt(one - a * a, w);
    // Near 1 the complement keeps the quotient small.
    if (a < BigReal(BigInt(7), 1)) result = arctanAt(divided(a, root, w), w);
    else result = halved(piAt(w)) - arctanAt(divided(root, a, w), w);
  }
  if (x.isNegative()) result = -result;
  return result.rescaled(scale);
}

// ---- hyperbolic functions ---------------------------------------------------------------

// e^a and e^-a for a >= 0.
std::pair<BigReal, BigReal> expPair(const BigReal& a, int64_t scale) { return {expAt(a, scale), expAt(-a, scale)}; }

BigReal withSign(const BigReal& x, BigReal value) { return x.isNegative() ? -value : value; }

// ---- results ------------------------------------------------------------------------------

// The value at `precision` digits: rounded half away from zero a few digits beyond, which
// puts an exact result computed with a tiny error back on its exact digits, then cut.
BigReal finish(const BigReal& value, int64_t precision) {
  int64_t rounding = precision + kGuard / 2;
  BigReal longer = value.rescaled(rounding + 1);
  BigInt mantissa = longer.mantissa();
  mantissa += BigInt(longer.isNegative() ? -5 : 5);
  return BigReal(std::move(mantissa), rounding + 1).rescaled(rounding).rescaled(precision);
}

template <class Compute>
Outcome<BigReal> guarded(Compute compute) {
  try {
    return Outcome<BigReal>::success(compute());
  } catch (const Infeasible& refused) {
    return Outcome<BigReal>::refusal(Refusal::of("unzfunarg", refused.argument.toText()));
  }
}

BigReal logarithmOf(const BigReal& x, const BigReal& base, int64_t precision) {
  if (x.signum() <= 0) infeasible(x);
  if (base.signum() <= 0 || base == BigReal(1)) infeasible(base);
  auto parts = [&](int64_t w) { return std::pair{lnAt(x, w), lnAt(base, w)}; };
  return finish(accurateQuotient(parts, precision, base), precision);
}

BigReal functionValue(RealFunction function, const BigReal& x, int64_t p) {
  int64_t w = p + kGuard;
  BigReal one(1);
  switch (function) {
    case RealFunction::Sqrt:
      if (x.isNegative()) infeasible(x);
      return sqrtAt(x, p);
    case RealFunction::Cbrt: return withSign(x, exactRoot(x, 3, p));
    case RealFunction::Exp: return x.isZero() ? one.rescaled(p) : finish(expAt(x, w), p);
    case RealFunction::Ln:
      if (x.signum() <= 0) infeasible(x);
      return finish(lnAt(x, w), p);
    case RealFunction::Ld: return logarithmOf(x, BigReal(2), p);
    case RealFunction::Lg: return logarithmOf(x, BigReal(10), p);
    case RealFunction::Sin: return finish(sinAt(x, w, false), p);
    case RealFunction::Cos: return finish(sinAt(x, w, true), p);
    case RealFunction::Tan:
    case RealFunction::Cot: {
      if (function == RealFunction::Cot && x.isZero()) infeasible(x);
      bool tangent = function == RealFunction::Tan;
      auto parts = [&](int64_t scale) {
        BigReal sine = sinAt(x, scale, false), cosine = sinAt(x, scale, true);
        return tangent ? std::pair{sine, cosine} : std::pair{cosine, sine};
      };
      return finish(accurateQuotient(parts, p, x), p);
    }
    case RealFunction::Arcsin: return finish(arcsinAt(x, w), p);
    case RealFunction::Arccos:
      if (x.abs() > one) infeasible(x);
      return finish(halved(piAt(w)) - arcsinAt(x, w), p);
    case RealFunction::Arctan: return finish(arctanAt(x, w), p);
    case RealFunction::Arccot: return finish(halved(piAt(w)) - arctanAt(x, w), p);
    case RealFunction::Sinh:
    case RealFunction::Cosh: {
      if (approximate(x.abs()) > kMaxFunctionDigits * kLn10) infeasible(x);
      auto [up, down] = expPair(x.abs(), w);
      if (function == RealFunction::Cosh) return finish(halved(up + down), p);
      return finish(withSign(x, halved(up - down)), p);
    }
    case RealFunction::Tanh: {
      // 1 - 2e/(1+e) with e = exp(-2|x|), which underflows harmlessly for large |x|.
      BigReal e = expAt(-(x.abs() * BigReal(2)), w);
      return finish(withSign(x, one - divided(e * BigReal(2), one + e, w)), p);
    }
    case RealFunction::Coth: {
      if (x.isZero()) infeasible(x);
      auto parts = [&](int64_t scale) {
        BigReal e = expAt(-(x.abs() * BigReal(2)), scale);
        return std::pair{one + e, one - e};
      };
      return finish(withSign(x, accurateQuotient(parts, p, x)), p);
    }
    case RealFunction::Arsinh: {
      BigReal a = x.abs();
      return finish(withSign(x, lnAt(a + sqrtAt(a * a + one, w + 2), w)), p);
    }
    case RealFunction::Arcosh:
      if (x < one) infeasible(x);
      return finish(lnAt(x + sqrtAt(x * x - one, w + 2), w), p);
    case RealFunction::Artanh:
    case RealFunction::Arcoth: {
      BigReal a = x.abs();
      if (function == RealFunction::Artanh ? a >= one : a <= one) infeasible(x);
      BigReal lower = function == RealFunction::Artanh ? one - a : a - one;
      return finish(withSign(x, halved(lnAt(one + a, w) - lnAt(lower, w))), p);
    }
  }
  return BigReal(0);
}

BigReal rootOf(const BigReal& x, const BigReal& degree, int64_t p) {
  if (degree.isZero()) infeasible(degree);
  bool integral = degree.isIntegral();
  std::optional<int64_t> n = integral ? degree.truncated().toInt64() : std::nullopt;
  bool odd = n && *n % 2 != 0;
  if (x.isNegative() && !odd) infeasible(x);
  if (x.isZero()) {
    if (degree.isNegative()) infeasible(x);
    return BigReal(0).rescaled(p);
  }
  if (n && *n >= 1 && *n <= 16) {
    if (*n == 1) return x.rescaled(p);
    return withSign(x, exactRoot(x, static_cast<int>(*n), p));
  }
  // x^(1/degree) = exp(ln|x| / degree), with ln taken to as many more digits as the
  // result has before its point and as 1/degree enlarges its error.
  double result = x.abs().magnitude() / approximate(degree);
  if (result > kMaxFunctionDigits) infeasible(x);
  int64_t w = p + kGuard + static_cast<int64_t>(std::max(0.0, result)) +
              static_cast<int64_t>(std::max(0.0, -degree.abs().magnitude())) + 2;
  BigReal exponent = divided(lnAt(x.abs(), w), degree, w);
  return finish(withSign(x, expAt(exponent, p + kGuard)), p);
}

BigReal powerOf(const BigReal& x, const BigReal& y, int64_t p) {
  BigReal one(1);
  if (y.isZero()) return one.rescaled(p);
  if (x.isZero()) {
    if (y.isNegative()) infeasible(x);
    return BigReal(0).rescaled(p);
  }
  bool integral = y.isIntegral();
  if (x.isNegative() && !integral) infeasible(x);
  BigInt n = integral ? y.truncated() : BigInt(0);
  bool negate = x.isNegative() && !n.isEven();
  // An integral power of moderate size is computed exactly, then cut.
  std::optional<int64_t> count = n.toInt64();
  int64_t times = count && *count > -20000 && *count < 20000 ? std::abs(*count) : 20001;
  if (integral && times * static_cast<int64_t>(x.mantissa().digitCount()) <= 20000 && x.scale() * times <= 100000) {
    BigInt mantissa = power(x.mantissa(), BigInt(times)).value;
    BigReal exact(std::move(mantissa), x.scale() * times);
    if (*count > 0) return exact.rescaled(p);
    return divided(one, exact, p);
  }
  BigReal a = x.abs();
  double digits = approximate(y) * a.magnitude();
  if (digits > kMaxFunctionDigits) infeasible(y);
  int64_t w = p + kGuard + static_cast<int64_t>(std::max(0.0, digits)) +
              static_cast<int64_t>(std::max(0.0, y.abs().magnitude())) + 2;
  BigReal exponent = multiplied(y, lnAt(a, w), w);
  BigReal value = finish(expAt(exponent, p + kGuard), p);
  return negate ? -value : value;
}

}  // namespace

Outcome<BigReal> computeFunction(RealFunction function, const BigReal& x, int64_t precision) {
  return guarded([&] { return functionValue(function, x, precision); });
}

Outcome<BigReal> root(const BigReal& x, const BigReal& degree, int64_t precision) {
  return guarded([&] { return rootOf(x, degree, precision); });
}

Outcome<BigReal> logarithm(const BigReal& x, const BigReal& base, int64_t precision) {
  return guarded([&] { return logarithmOf(x, base, precision); });
}

Outcome<BigReal> power(const BigReal& x, const BigReal& y, int64_t precision) {
  return guarded([&] { return powerOf(x, y, precision); });
}

BigReal piConstant(int64_t precision) { return finish(piAt(precision + kGuard), precision); }

BigReal eConstant(int64_t precision) { return finish(eAt(precision + kGuard), precision); }

}  // namespace kavor
