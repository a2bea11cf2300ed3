#include "analysis/text_form.h"

#include <climits>
#include <cstdlib>

#include "core/containers.h"
#include "core/messages.h"
#include "core/payloads.h"
#include "numbers/bigint.h"
#include "numbers/bigreal.h"
#include "streams/file_data.h"
#include "streams/str_data.h"

namespace kavor {

namespace {

bool writeValue(const Object& objectIn, std::string& out, std::string* failure);

bool writeMarked(const Object& objectIn, std::string& out, std::string* failure) {
  Object& object = const_cast<Object&>(objectIn);
  if (!object.isDefined()) return true;
  if (object.outputMark) {
    out += "..";
    object.outputMark = 0;
    return true;
  }
  object.outputMark = 1;
  bool ok = writeValue(object, out, failure);
  object.outputMark = 0;
  return ok;
}

bool writeValue(const Object& object, std::string& out, std::string* failure) {
  if (object.isIndirection()) return writeMarked(*object.target(), out, failure);
  switch (object.base()) {
    case 'v': return true;
    case 'b':
      if (!object.isEmpty()) out += object.boolValue() ? "true" : "false";
      return true;
    case 'c':
      if (!object.isEmpty()) out += static_cast<char>(object.charValue());
      return true;
    case 'i':
      if (!object.isEmpty()) out += object.asInt().toText();
      return true;
    case 'r':
      out += object.asReal().text();
      return true;
    case 's': out += object.asStr().text; return true;
    case 'f': out += object.asFile().name; return true;
    case 'd': out += object.asDir().path; return true;
    case 'e': out += object.asError().message; return true;
    case 'o':
      if (object.word & 0xFF) out += static_cast<char>(object.word & 0xFF);
      if ((object.word >> 8) & 0xFF) out += static_cast<char>((object.word >> 8) & 0xFF);
      return true;
    case 'l': case 'y': {
      ListRecord& list = object.asList();
      out += '(';
      for (size_t i = 0; i < list.size(); ++i) {
        if (i > 0) out += ',';
        if (!writeMarked(list.at(i), out, failure)) return false;
      }
      out += ')';
      return true;
    }
    case 'm': case 'h': {
      bool isSet = object.base() == 'm';
      out += isSet ? '{' : '[';
      bool first = true;
      for (HashEntry* entry : object.asHash().entries()) {
        if (!first) out += ',';
        first = false;
        if (!writeMarked(*entry->key, out, failure)) return false;
        if (!isSet) {
          out += "->";
          if (entry->value && !writeMarked(*entry->value, out, failure)) return false;
        }
      }
      out += isSet ? '}' : ']';
      return true;
    }
    case 'u':
      if (!writeMarked(object.asAny2().first, out, failure)) return false;
      out += "->";
      return writeMarked(object.asAny2().second, out, failure);
    case 'k': {
      const UserValue& user = object.asUser();
      if (!user.groups) {
        out += "<>";
        return true;
      }
      out += '<';
      for (size_t g = 0; g < user.groups->size(); ++g) {
        if (g > 0) out += ';';
        const auto& group = (*user.groups)[g];
        for (size_t m = 0; m < group.size(); ++m) {
          if (m > 0) out += ',';
          if (!writeMarked(*group[m], out, failure)) return false;
        }
      }
      out += '>';
      return true;
    }
    case '0': case '2': case '4': case 't': case 'a': case 'z': case 'g':
      return true;  // empty until their types arrive
    default:
      if (failure) *failure = fillKey("ausdattypnicerl", {typeName(object, true)});
      return false;
  }
}

}  // namespace

bool writeText(const Object& object, std::string& out, std::string* failure) {
  return writeMarked(object, out, failure);
}

std::string textForm(const Object& object) {
  std::string out;
  writeText(object, out);
  return out;
}

std::string convertString(const std::string& text, Object& targetIn) {
  Object& target = targetIn.resolve(true);
  auto refuse = [&] { return fillKey("umwzeiketnicmoe", {text, typeName(target, true)}); };
  switch (target.base()) {
    case 'b':
      if (text == "true") target.setBool(true);
      else if (text == "false") target.setBool(false);
      else return refuse();
      return "";
    case 'c':
      if (text.size() != 1) return refuse();
      target.setChar(static_cast<unsigned char>(text[0]));
      return "";
    case 'i':
      if (!BigInt::isIntegerLiteral(text)) return refuse();
      target.asInt() = *BigInt::fromText(text);
      return "";
    case 's':
      target.asStr().text = text;
      target.asStr().restartReading();
      return "";
    default:
      return fillKey("eindattypnicerl", {typeName(target, true)});
  }
}

std::string parseColumnFormat(const std::string& text, char fill, ColumnFormat& format) {
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
    bool digits = field.size() > 1;
    for (size_t i = 1; i < field.size(); ++i)
      if (field[i] < '0' || field[i] > '9') digits = false;
    long value = digits ? std::strtol(field.c_str(), nullptr, 10) : 0;
    if (!digits || value > INT_MAX || value < INT_MIN) return fillKey("zeiketforzeiketkeiint", {field});
    parsed.widths.push_back(static_cast<int>(value));
    start = end;
  }
  parsed.fill = fill;
  format = parsed;
  return "";
}

}  // namespace kavor
