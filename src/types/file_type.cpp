// The row of `file`. A file value is its name; an open handle or the read position is not
// part of the value and is not copied or compared.
#include "core/type_table.h"
#include "streams/file_data.h"

namespace kavor {

namespace {

// An open stream belongs to the path it was opened for, so naming another file closes it.
void copyName(Object& target, const Object& source) {
  FILE_DATA& file = target.asFile();
  if (file.name == source.asFile().name) return;
  file.close();
  file.name = source.asFile().name;
}

}  // namespace

extern constinit const TypeOps kFileOps = {
    .name = "file",
    .create = [](Object& object) { object.value = new FILE_DATA(); },
    .release = [](Object& object) { delete static_cast<FILE_DATA*>(object.value); },
    .copy = copyName,
    .equals = [](Object& a, Object& b, PartComparison&) { return a.asFile().name == b.asFile().name; },
    .isEmpty = [](const Object& object) { return object.asFile().name.empty(); },
    .makeEmpty = renewPayload,
    .visitParts = nullptr,
    .loopsRunning = nullptr,
    .writeText = [](const Object& object, std::string& out, TextParts&) { out += object.asFile().name; },
    .readText = nullptr,
};

}  // namespace kavor
