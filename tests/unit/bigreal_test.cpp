// BigReal at the edges programs reach badly: scales that differ, negative values near
// zero, quotients whose divisor has more digits after the point than the precision, and
// the precision of the elementary functions on arguments that need long reductions.
#include <gtest/gtest.h>

#include <string>

#include "numbers/bigreal.h"
#include "numbers/real_functions.h"

namespace kavor {
namespace {

BigReal real(const std::string& text) {
  Outcome<BigReal> value = BigReal::fromText(text);
  EXPECT_TRUE(value.ok()) << text;
  return value.value;
}

std::string text(const BigReal& value, int32_t q = -1) { return value.toText(q); }

TEST(BigReal, RescalingCutsTowardsZero) {
  EXPECT_EQ(text(real("1.239").rescaled(1)), "1.2");
  EXPECT_EQ(text(real("-0.05").rescaled(1)), "0");
  EXPECT_EQ(text(real("-1.99").rescaled(0)), "-1");
  EXPECT_EQ(text(real("2.5").rescaled(3), 4), "2.5000");
}

TEST(BigReal, OrderAndEqualityIgnoreTheScale) {
  EXPECT_EQ(real("1.50"), real("1.5"));
  EXPECT_EQ(real("-0.0"), real("0"));
  EXPECT_LT(real("-1.5"), real("-1.25"));
  EXPECT_LT(real("0.999999999999999999999"), real("1"));
  EXPECT_GT(real("1e20"), real("99999999999999999999.9"));
  EXPECT_LT(BigReal(), real("-1e30"));  // the empty value sorts first
}

TEST(BigReal, QuotientsUseTheWholeDivisor) {
  EXPECT_EQ(text(divide(real("1"), real("0.333"), 2).value), "3");
  EXPECT_EQ(text(divide(real("1"), real("0.0000001"), 2).value), "10000000");
  EXPECT_EQ(text(divide(real("-7"), real("2"), 0).value), "-3");
  EXPECT_EQ(text(divide(real("0.000123"), real("1000"), 8).value), "0.00000012");
  EXPECT_FALSE(divide(real("1"), real("0.000"), 8).ok());
}

TEST(BigReal, ReaderRefusesHugeExponentsButNotLongTexts) {
  EXPECT_FALSE(BigReal::fromText("1e10000001").ok());
  EXPECT_FALSE(BigReal::fromText("1e-10000001").ok());
  EXPECT_FALSE(BigReal::fromText("1e999999999999999999999").ok());
  EXPECT_TRUE(BigReal::fromText("1e-9999990").ok());
  EXPECT_EQ(text(real("000123.4500e+2")), "12345");
  EXPECT_FALSE(BigReal::isLiteral("1.5e+"));
  EXPECT_FALSE(BigReal::isLiteral("--1"));
}

TEST(RealFunctions, LongReductionsKeepEveryDigit) {
  // sin(10^20) and exp(-50) to 30 digits, computed independently.
  EXPECT_EQ(text(computeFunction(RealFunction::Sin, real("1e20"), 30).value), "-0.645251285265780844205811711312");
  EXPECT_EQ(text(computeFunction(RealFunction::Exp, real("-50"), 30).value), "0.000000000000000000000192874984");
  EXPECT_EQ(text(computeFunction(RealFunction::Tan, real("1.5707963267948966"), 8).value), "51998506188720270.66019474");
}

}  // namespace
}  // namespace kavor
