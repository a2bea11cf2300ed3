// `bool`, `char`, `oper` and `sys`: values small enough to live in the Object's `word`, so
// they allocate nothing; `value` only marks them as defined.
#include <cctype>

#include "core/binary_form.h"
#include "core/type_table.h"

namespace kavor {

namespace {

// The word of an empty bool; 0 and 1 are false and true.
constexpr uint32_t kEmptyBool = 65535;

template <uint32_t EmptyWord>
void createWord(Object& object) {
  object.value = &kInlinePayload;
  object.word = EmptyWord;
}

template <uint32_t EmptyWord>
void emptyWord(Object& object) {
  object.word = EmptyWord;
}

void noPayload(Object&) {}
void copyWord(Object& target, const Object& source) { target.word = source.word; }
bool sameWord(Object& a, Object& b, PartComparison&) { return a.word == b.word; }

// The word types differ in their empty word and in what their text is.
template <uint32_t EmptyWord>
constexpr TypeOps wordRow(const char* name, bool (*isEmpty)(const Object&),
                          void (*writeText)(const Object&, std::string&, TextParts&),
                          bool (*readText)(const std::string&, Object&)) {
  return {
      .name = name,
      .create = createWord<EmptyWord>,
      .release = noPayload,
      .copy = copyWord,
      .equals = sameWord,
      .isEmpty = isEmpty,
      .makeEmpty = emptyWord<EmptyWord>,
      .visitParts = nullptr,
      .loopsRunning = nullptr,
      .writeText = writeText,
      .readText = readText,
  };
}

bool isEmptyBool(const Object& object) { return object.word == kEmptyBool; }

void writeBool(const Object& object, std::string& out, TextParts&) {
  if (object.word != kEmptyBool) out += object.boolValue() ? "true" : "false";
}

bool readBool(const std::string& text, Object& target) {
  if (text != "true" && text != "false") return false;
  target.setBool(text == "true");
  return true;
}

bool isEmptyChar(const Object& object) { return (object.word & 0xFF) == 0; }

void writeChar(const Object& object, std::string& out, TextParts&) {
  if (!isEmptyChar(object)) out += static_cast<char>(object.charValue());
}

bool readChar(const std::string& text, Object& target) {
  if (text.size() != 1) return false;
  target.setChar(static_cast<unsigned char>(text[0]));
  return true;
}

// An operator is up to two characters, the first in the low byte.
bool isEmptyOper(const Object& object) { return (object.word & 0xFFFF) == 0; }

void writeOper(const Object& object, std::string& out, TextParts&) {
  if (object.word & 0xFF) out += static_cast<char>(object.word & 0xFF);
  if ((object.word >> 8) & 0xFF) out += static_cast<char>((object.word >> 8) & 0xFF);
}

// A `sys` value has no content of its own: it counts as empty and has no text form.
bool isEmptySys(const Object&) { return true; }

// Binary items: "b" and 0, 1 or 2 (empty); "c" and the character, or "x" alone for the
// empty char; "o", the operator, "o".
void writeBinaryBool(const Object& object, std::string& out, TextParts&) {
  out += 'b';
  out += isEmptyBool(object) ? '2' : object.boolValue() ? '1' : '0';
}

bool readBinaryBool(BinaryInput& in, char, Object& target) {
  char c;
  if (!in.byte(c) || c < '0' || c > '2') return false;
  if (c != '2') target.setBool(c == '1');
  return true;
}

void writeBinaryChar(const Object& object, std::string& out, TextParts&) {
  if (isEmptyChar(object)) {
    out += 'x';
    return;
  }
  out += 'c';
  out += static_cast<char>(object.charValue());
}

bool readBinaryChar(BinaryInput& in, char letter, Object& target) {
  if (letter == 'x') return true;
  char c;
  if (!in.byte(c)) return false;
  target.setChar(static_cast<unsigned char>(c));
  return true;
}

void writeBinaryOper(const Object& object, std::string& out, TextParts& parts) {
  out += 'o';
  writeOper(object, out, parts);
  out += 'o';
}

// Operators are one or two signs, never letters, digits or blanks.
bool readBinaryOper(BinaryInput& in, char, Object& target) {
  std::string text;
  if (!in.textUntil('o', text) || text.size() > 2) return false;
  for (char c : text)
    if (std::isalnum(static_cast<unsigned char>(c)) || std::isspace(static_cast<unsigned char>(c)) ||
        static_cast<unsigned char>(c) >= 0x80)
      return false;
  target.word = 0;
  for (size_t i = 0; i < text.size(); ++i) target.word |= static_cast<uint64_t>(static_cast<unsigned char>(text[i])) << (8 * i);
  return true;
}

template <auto write, auto read>
constexpr TypeOps withBinary(TypeOps row) {
  row.writeBinary = write;
  row.readBinary = read;
  return row;
}

}  // namespace

extern constinit const TypeOps kBoolOps =
    withBinary<writeBinaryBool, readBinaryBool>(wordRow<kEmptyBool>("bool", isEmptyBool, writeBool, readBool));
extern constinit const TypeOps kCharOps = [] {
  TypeOps row = withBinary<writeBinaryChar, readBinaryChar>(wordRow<0>("char", isEmptyChar, writeChar, readChar));
  row.emptyIsNoValue = true;
  row.order = [](Object& a, Object& b) -> std::partial_ordering { return a.charValue() <=> b.charValue(); };
  return row;
}();
extern constinit const TypeOps kOperOps =
    withBinary<writeBinaryOper, readBinaryOper>(wordRow<0>("oper", isEmptyOper, writeOper, nullptr));
extern constinit const TypeOps kSysOps = wordRow<0>("sys", isEmptySys, nullptr, nullptr);

}  // namespace kavor
