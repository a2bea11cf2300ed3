// The row of `dir`. Two directories are equal when their paths are.
#include "core/payloads.h"
#include "core/type_table.h"

namespace kavor {

extern constinit const TypeOps kDirOps = {
    .name = "dir",
    .create = [](Object& object) { object.value = new DirValue(); },
    .release = [](Object& object) { delete static_cast<DirValue*>(object.value); },
    .copy = [](Object& target, const Object& source) { target.asDir() = source.asDir(); },
    .equals = [](Object& a, Object& b, PartComparison&) { return a.asDir() == b.asDir(); },
    .isEmpty = [](const Object& object) { return object.asDir().path.empty(); },
    .makeEmpty = renewPayload,
    .visitParts = nullptr,
    .loopsRunning = nullptr,
    .writeText = [](const Object& object, std::string& out, TextParts&) { out += object.asDir().path; },
    .readText = nullptr,
};

}  // namespace kavor
