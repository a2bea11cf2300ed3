// Decimal reals of adjustable precision. For now a value is kept as its text; the
// arithmetic arrives with the real numbers.
#pragma once

#include <string>

namespace kavor {

class BigReal {
 public:
  bool isEmpty() const { return text_.empty(); }
  const std::string& text() const { return text_; }
  void setText(std::string text) { text_ = std::move(text); }
  bool operator==(const BigReal& other) const { return text_ == other.text_; }

 private:
  std::string text_;  // "" = the empty real
};

}  // namespace kavor
