// The row of `error`. Its text form is the message alone.
#include "core/binary_form.h"
#include "core/payloads.h"
#include "core/type_table.h"

namespace kavor {

namespace {

// Binary item: "e", the byte length, "e", then kind ":" file ":" line ":" message.
void writeBinaryError(const Object& object, std::string& out, TextParts&) {
  const ErrorValue& error = object.asError();
  std::string fields = std::string(1, error.kind) + ':' + error.file + ':' + std::to_string(error.line) + ':' +
                       error.message;
  out += 'e' + std::to_string(fields.size()) + 'e';
  out += fields;
}

// The file may hold ":" itself: it ends at the first ":" that a line number and a ":"
// follow.
bool readBinaryError(BinaryInput& in, char, Object& target) {
  int64_t length;
  std::string fields;
  if (!in.number(length, 'e') || !in.text(length, fields)) return false;
  if (fields.size() < 2 || fields[1] != ':') return false;
  for (size_t colon = fields.find(':', 2); colon != std::string::npos; colon = fields.find(':', colon + 1)) {
    size_t digits = colon + 1, end = fields.find(':', digits);
    if (end == std::string::npos) return false;
    size_t start = fields[digits] == '-' ? digits + 1 : digits;
    if (end == start || end - start > 9 || fields.find_first_not_of("0123456789", start) < end) continue;
    ErrorValue& error = target.asError();
    error.kind = fields[0];
    error.file = fields.substr(2, colon - 2);
    error.line = std::stoi(fields.substr(digits, end - digits));
    error.message = fields.substr(end + 1);
    return true;
  }
  return false;
}

}  // namespace

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
    .writeBinary = writeBinaryError,
    .readBinary = readBinaryError,
};

}  // namespace kavor
