#include "core/text_form.h"

#include <climits>
#include <cstdlib>

#include "core/messages.h"
#include "core/type_table.h"
#include "core/values.h"
#include "numbers/bigint.h"
#include "numbers/bigreal.h"

namespace kavor {

namespace {

bool allDigits(const std::string& text, size_t from, size_t to) {
  for (size_t i = from; i < to; ++i)
    if (text[i] < '0' || text[i] > '9') return false;
  return true;
}

}  // namespace

std::unique_ptr<Object> mostSpecificValue(std::string text) {
  if (BigInt::isIntegerLiteral(text)) return makeInt(*BigInt::fromText(text));
  if (Outcome<BigReal> real = BigReal::fromText(text); real.ok()) {
    auto value = std::make_unique<Object>('r');
    value->asReal() = std::move(real.value);
    return value;
  }
  if (text.size() == 1) return makeChar(static_cast<unsigned char>(text[0]));
  return makeStr(std::move(text));
}

bool isRealLiteral(const std::string& text) { return BigReal::isLiteral(text); }

Failure checkInputType(Object& targetIn) {
  Object& target = targetIn.resolve(true);
  if (target.isAny() || typeOps(target.typeCode).readText != nullptr) return Failure::none();
  return fillKey("eindattypnicerl", {typeName(target, true)});
}

Failure convertString(const std::string& text, Object& targetIn) {
  if (Failure refused = checkInputType(targetIn)) return refused;
  Object& target = targetIn.resolve(true);
  if (target.isAny()) {
    std::unique_ptr<Object> value = mostSpecificValue(text);
    return transfer(target, *value, Transfer::Copy);
  }
  if (!typeOps(target.typeCode).readText(text, target))
    return fillKey("umwzeiketnicmoe", {text, typeName(target, true)});
  return Failure::none();
}

Failure parseColumnFormat(const std::string& text, char fill, ColumnFormat& format) {
  format = ColumnFormat();
  size_t signs = 0;
  for (char c : text)
    if (c == '+' || c == '-') ++signs;
  if (signs == 0) return message("forzeiketentwedplunocminzei");
  if (text[0] != '+' && text[0] != '-') return message("forzeiketmuspluminzeibeg");
  ColumnFormat parsed;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("+-", start + 1);
    if (end == std::string::npos) end = text.size();
    std::string field = text.substr(start, end - start);
    bool digits = field.size() > 1 && allDigits(field, 1, field.size());
    // strtol saturates, so a field of any length is caught by the range test.
    long value = digits ? std::strtol(field.c_str(), nullptr, 10) : 0;
    if (!digits || value > INT_MAX || value < INT_MIN) return fillKey("zeiketforzeiketkeiint", {field});
    parsed.widths.push_back(static_cast<int>(value));
    start = end;
  }
  parsed.fill = fill;
  format = parsed;
  return Failure::none();
}

}  // namespace kavor
