// Decimal text of BigInt values. With limbs of nine decimal digits both directions are a
// single linear pass.
#include <charconv>

#include "numbers/bigint.h"

namespace kavor {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Appends the nine digits of a lower limb, with its leading zeros.
void appendPadded(std::string& text, Limb limb) {
  char digits[kLimbDigits];
  for (int i = kLimbDigits - 1; i >= 0; --i) {
    digits[i] = static_cast<char>('0' + limb % 10);
    limb /= 10;
  }
  text.append(digits, kLimbDigits);
}

void appendPlain(std::string& text, Limb limb) {
  char digits[16];
  auto result = std::to_chars(digits, digits + sizeof digits, limb);
  text.append(digits, result.ptr);
}

}  // namespace

bool BigInt::isIntegerLiteral(std::string_view text) {
  std::size_t start = 0;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) start = 1;
  if (start >= text.size()) return false;
  for (std::size_t i = start; i < text.size(); ++i) {
    if (!isDigit(text[i])) return false;
  }
  return true;
}

std::optional<BigInt> BigInt::fromText(std::string_view text) {
  if (!isIntegerLiteral(text)) return std::nullopt;
  bool negative = text[0] == '-';
  if (text[0] == '+' || text[0] == '-') text.remove_prefix(1);
  while (text.size() > 1 && text[0] == '0') text.remove_prefix(1);

  LimbVector limbs;
  limbs.reserve(text.size() / kLimbDigits + 1);
  // Nine digits at a time from the right; the leftmost group may be shorter.
  std::size_t end = text.size();
  while (end > 0) {
    std::size_t begin = end >= kLimbDigits ? end - kLimbDigits : 0;
    Limb limb = 0;
    for (std::size_t i = begin; i < end; ++i) limb = limb * 10 + static_cast<Limb>(text[i] - '0');
    limbs.push_back(limb);
    end = begin;
  }
  return fromMagnitude(std::move(limbs), negative);
}

std::string BigInt::magnitudeText() const {
  std::string text;
  if (!hasValue_) return text;
  if (limbs_.empty()) return "0";
  text.reserve(limbs_.size() * kLimbDigits);
  appendPlain(text, limbs_.back());
  for (std::size_t i = limbs_.size() - 1; i-- > 0;) appendPadded(text, limbs_[i]);
  return text;
}

std::string BigInt::toText() const {
  if (!negative_) return magnitudeText();
  std::string text = "-";
  text += magnitudeText();
  return text;
}

std::size_t BigInt::digitCount() const {
  if (!hasValue_) return 0;
  if (limbs_.empty()) return 1;
  std::size_t count = (limbs_.size() - 1) * kLimbDigits;
  for (Limb top = limbs_.back(); top != 0; top /= 10) ++count;
  return count;
}

}  // namespace kavor
