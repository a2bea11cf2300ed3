// The row of `file`. A file value is its name; an open handle or the read position is not
// part of the value and is not copied or compared.
#include "core/type_table.h"
#include "streams/file_data.h"

namespace kavor {

extern constinit const TypeOps kFileOps = {
    .name = "file",
    .create = [](Object& object) { object.value = new FILE_DATA(); },
    .release = [](Object& object) { delete static_cast<FILE_DATA*>(object.value); },
    .copy = [](Object& target, const Object& source) { target.asFile().name = source.asFile().name; },
    .equals = [](Object& a, Object& b, PartComparison&) { return a.asFile().name == b.asFile().name; },
    .isEmpty = [](const Object& object) { return object.asFile().name.empty(); },
    .makeEmpty = renewPayload,
    .visitParts = nullptr,
    .loopsRunning = nullptr,
    .writeText = [](const Object& object, std::string& out, TextParts&) { out += object.asFile().name; },
    .readText = nullptr,
};

}  // namespace kavor
