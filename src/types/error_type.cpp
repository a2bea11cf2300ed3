// The row of `error`. Its text form is the message alone.
#include "core/payloads.h"
#include "core/type_table.h"

namespace kavor {

extern constinit const TypeOps kErrorOps = {
    .name = "error",
    .create = [](Object& object) { object.value = new ErrorValue(); },
    .release = [](Object& object) { delete static_cast<ErrorValue*>(object.value); },
    .copy = [](Object& target, const Object& source) { target.asError() = source.asError(); },
    .equals = [](Object& a, Object& b, PartComparison&) { return a.asError() == b.asError(); },
    .isEmpty = [](const Object& object) { return object.asError().isEmpty(); },
    .makeEmpty = renewPayload,
    .visitParts = nullptr,
    .loopsRunning = nullptr,
    .writeText = [](const Object& object, std::string& out, TextParts&) { out += object.asError().message; },
    .readText = nullptr,
};

}  // namespace kavor
