// Payloads of `array` and `array2`; filled in with the array types.
#pragma once

namespace kavor {

struct ArrayValue {
  bool isEmpty() const { return true; }
  bool operator==(const ArrayValue&) const = default;
};
struct Array2Value {
  bool isEmpty() const { return true; }
  bool operator==(const Array2Value&) const = default;
};

}  // namespace kavor
