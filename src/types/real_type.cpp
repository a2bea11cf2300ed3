// The row of `real`.
#include "core/text_form.h"
#include "core/type_table.h"
#include "numbers/bigreal.h"

namespace kavor {

extern constinit const TypeOps kRealOps = {
    .name = "real",
    .create = [](Object& object) { object.value = new BigReal(); },
    .release = [](Object& object) { delete static_cast<BigReal*>(object.value); },
    .copy = [](Object& target, const Object& source) { target.asReal() = source.asReal(); },
    .equals = [](Object& a, Object& b, PartComparison&) { return a.asReal() == b.asReal(); },
    .isEmpty = [](const Object& object) { return object.asReal().isEmpty(); },
    .makeEmpty = renewPayload,
    .visitParts = nullptr,
    .loopsRunning = nullptr,
    .writeText = [](const Object& object, std::string& out, TextParts&) { out += object.asReal().text(); },
    .readText =
        [](const std::string& text, Object& target) {
          if (!isRealLiteral(text)) return false;
          target.asReal().setText(text);
          return true;
        },
    .emptyIsNoValue = true,
};

}  // namespace kavor
