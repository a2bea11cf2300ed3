#include "core/values.h"

#include "streams/str_data.h"

namespace kavor {

std::unique_ptr<Object> makeBool(bool value) {
  auto object = std::make_unique<Object>('b');
  object->setBool(value);
  return object;
}

std::unique_ptr<Object> makeChar(unsigned char value) {
  auto object = std::make_unique<Object>('c');
  object->setChar(value);
  return object;
}

std::unique_ptr<Object> makeInt(const BigInt& value) {
  auto object = std::make_unique<Object>('i');
  object->setInt(value);
  return object;
}

std::unique_ptr<Object> makeInt(long long value) {
  if (value > BigInt::kSmallLimit || value < -BigInt::kSmallLimit) return makeInt(BigInt(static_cast<std::int64_t>(value)));
  auto object = std::make_unique<Object>('i');
  object->setSmallInt(value);
  return object;
}

std::unique_ptr<Object> makeStr(std::string text) {
  auto object = std::make_unique<Object>('s');
  object->asStr().text = std::move(text);
  return object;
}

}  // namespace kavor
