// The routines behind the `int` operator "^" and the `int` methods: powers, factorial,
// binomial coefficient, gcd, lcm, primality, random values and character codes.
// Each is pure: it reads its operands and returns a value or the text of a refusal, which
// the caller raises with its own context. Empty operands read as 0; the callers refuse them
// first where the language says so.
#pragma once

#include <cstddef>

#include "numbers/refusal.h"
#include "numbers/bigint.h"

namespace kavor {

// The most decimal digits that a power, factorial or binomial coefficient may have. Larger
// results would take many seconds and much memory; they are refused with "Infeasible argument '%d'"
// before any work is done, instead of exhausting memory.
inline constexpr std::size_t kMaxResultDigits = 10000000;

// base ^ exponent; an exponent <= 0 gives 1 (so 0 ^ 0 = 1 and 2 ^ -3 = 1). Refuses a result
// beyond kMaxResultDigits with "Infeasible argument '<exponent>'".
Outcome<BigInt> power(const BigInt& base, const BigInt& exponent);

// n!; 1 for every n < 2, negative n included. Refuses a result beyond kMaxResultDigits with
// "Infeasible argument '<n>'".
Outcome<BigInt> factorial(const BigInt& n);

// The binomial coefficient: 0 when k < 0 or n < k, 1 when k = 0 or k = n. Refuses a result
// beyond kMaxResultDigits with "Infeasible argument '<k>'".
Outcome<BigInt> binomial(const BigInt& n, const BigInt& k);

// Greatest common divisor, never negative: gcd(0, b) = |b|, gcd(0, 0) = 0.
BigInt gcd(const BigInt& a, const BigInt& b);

// Least common multiple: 0 when an operand is 0, else a * b / gcd(a, b) with the sign of
// a * b (lcm(-4, 6) = -12).
BigInt lcm(const BigInt& a, const BigInt& b);

// Primality: false for every n < 2. Exact for n below 2^64 (deterministic Miller-Rabin);
// beyond, the Baillie-PSW test (Miller-Rabin to base 2 and a strong Lucas test), for which
// no composite that passes is known.
bool isPrime(const BigInt& n);

// low + ((high - low) * r) / 2147483647 with r the next value of the C library's rand(),
// which the interpreter never seeds, so every run draws the same sequence. Lies between low
// and high inclusive, whichever is larger.
BigInt randomBetween(const BigInt& low, const BigInt& high);

// The character code that the method `char` yields: 1 .. 127 as they are, 0 as the byte 255
// (the stored form of a NUL character). Refuses other values with "Expect integer value
// between 0 and 127".
Outcome<unsigned char> characterCode(const BigInt& value);

// The integer square root (the largest r with r * r <= value). Refuses a negative value with
// "Infeasible function argument '<value>'".
Outcome<BigInt> integerSquareRoot(const BigInt& value);

}  // namespace kavor
