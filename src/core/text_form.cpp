#include "core/text_form.h"

#include <climits>
#include <cstdlib>

#include "core/containers.h"
#include "core/messages.h"
#include "core/payloads.h"
#include "core/values.h"
#include "numbers/bigint.h"
#include "numbers/bigreal.h"
#include "streams/file_data.h"
#include "streams/str_data.h"

namespace kavor {

namespace {

// One step of writing a value. A compound value is written by pushing its parts as steps,
// so that nesting depth costs heap, not native stack.
struct WriteStep {
  enum Kind : uint8_t { Value, Text, Unmark } kind;
  Object* object;    // Value: the Object to write; Unmark: the Object whose mark ends
  const char* text;  // Text: a literal piece ("(", ",", "->", ...)
};

bool hasParts(TypeCode base) {
  switch (base) {
    case 'l': case 'y': case 'm': case 'h': case 'u': case 'k': return true;
    default: return false;
  }
}

class TextWriter {
 public:
  TextWriter(std::string& out, std::string* failure) : out_(out), failure_(failure) {}

  bool run(Object& root) {
    if (!writeMarked(root)) return abandon();
    while (!pending_.empty()) {
      WriteStep step = pending_.back();
      pending_.pop_back();
      switch (step.kind) {
        case WriteStep::Text: out_ += step.text; break;
        case WriteStep::Unmark: step.object->outputMark = 0; break;
        case WriteStep::Value:
          if (!writeMarked(*step.object)) return abandon();
          break;
      }
    }
    return true;
  }

 private:
  // After a failure the marks set so far must still be cleared, or the values would be
  // written as ".." forever after.
  bool abandon() {
    for (const WriteStep& step : pending_)
      if (step.kind == WriteStep::Unmark) step.object->outputMark = 0;
    pending_.clear();
    return false;
  }

  void push(Object& object) { pending_.push_back({WriteStep::Value, &object, nullptr}); }
  void push(const char* text) { pending_.push_back({WriteStep::Text, nullptr, text}); }

  bool writeMarked(Object& object) {
    if (!object.isDefined()) {
      if (object.base() == 'k' && object.value != nullptr) out_ += "<>";
      return true;
    }
    // A value without parts cannot lead back to itself: it needs neither mark nor steps.
    if (!object.isIndirection() && !hasParts(object.base())) return writeValue(object);
    if (object.outputMark) {
      // Met again inside itself: a cycle through references ends here.
      out_ += "..";
      object.outputMark = 0;
      return true;
    }
    object.outputMark = 1;
    pending_.push_back({WriteStep::Unmark, &object, nullptr});
    return writeValue(object);
  }

  // Writes a plain value at once, or pushes the parts of a compound one (in reverse, since
  // the last pushed is written first).
  bool writeValue(Object& object) {
    if (object.isIndirection()) {
      push(*object.target());
      return true;
    }
    switch (object.base()) {
      case 'v': return true;
      case 'b':
        if (!object.isEmpty()) out_ += object.boolValue() ? "true" : "false";
        return true;
      case 'c':
        if (!object.isEmpty()) out_ += static_cast<char>(object.charValue());
        return true;
      case 'i': out_ += object.asInt().toText(); return true;
      case 'r': out_ += object.asReal().text(); return true;
      case 's': out_ += object.asStr().text; return true;
      case 'f': out_ += object.asFile().name; return true;
      case 'd': out_ += object.asDir().path; return true;
      case 'e': out_ += object.asError().message; return true;
      case 'o':
        if (object.word & 0xFF) out_ += static_cast<char>(object.word & 0xFF);
        if ((object.word >> 8) & 0xFF) out_ += static_cast<char>((object.word >> 8) & 0xFF);
        return true;
      case 'l': case 'y': {
        ListRecord& list = object.asList();
        push(")");
        for (size_t i = list.size(); i-- > 0;) {
          push(list.at(i));
          if (i > 0) push(",");
        }
        push("(");
        return true;
      }
      case 'm': case 'h': {
        const bool isSet = object.base() == 'm';
        const std::vector<HashEntry*>& entries = object.asHash().entries();
        push(isSet ? "}" : "]");
        for (size_t i = entries.size(); i-- > 0;) {
          if (!isSet && entries[i]->value) push(*entries[i]->value);
          if (!isSet) push("->");
          push(*entries[i]->key);
          if (i > 0) push(",");
        }
        push(isSet ? "{" : "[");
        return true;
      }
      case 'u':
        push(object.asAny2().second);
        push("->");
        push(object.asAny2().first);
        return true;
      case 'k': {
        const MemberGroups& groups = *object.asUser().groups;
        push(">");
        for (size_t g = groups.size(); g-- > 0;) {
          for (size_t m = groups[g].size(); m-- > 0;) {
            push(*groups[g][m]);
            if (m > 0) push(",");
          }
          if (g > 0) push(";");
        }
        push("<");
        return true;
      }
      case '0': case '2': case '4': case 't': case 'a': case 'z': case 'g':
        return true;  // written by their own types once those exist
      default:
        if (failure_) *failure_ = fillKey("ausdattypnicerl", {typeName(object, true)});
        return false;
    }
  }

  std::string& out_;
  std::string* failure_;
  // Steps still to do; the last one is next.
  std::vector<WriteStep> pending_;
};

bool allDigits(const std::string& text, size_t from, size_t to) {
  for (size_t i = from; i < to; ++i)
    if (text[i] < '0' || text[i] > '9') return false;
  return true;
}

}  // namespace

bool writeText(const Object& object, std::string& out, std::string* failure) {
  // Writing only sets and clears the cycle marks; the value itself is not changed.
  return TextWriter(out, failure).run(const_cast<Object&>(object));
}

std::string textForm(const Object& object) {
  std::string out;
  writeText(object, out);
  return out;
}

std::unique_ptr<Object> mostSpecificValue(std::string text) {
  if (BigInt::isIntegerLiteral(text)) return makeInt(*BigInt::fromText(text));
  if (isRealLiteral(text)) {
    auto real = std::make_unique<Object>('r');
    real->asReal().setText(std::move(text));
    return real;
  }
  if (text.size() == 1) return makeChar(static_cast<unsigned char>(text[0]));
  return makeStr(std::move(text));
}

bool isRealLiteral(const std::string& text) {
  size_t at = 0;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
  size_t exponent = text.find_first_of("eE", at);
  if (exponent == std::string::npos) exponent = text.size();
  size_t point = text.find('.', at);
  if (point > exponent) point = std::string::npos;
  size_t digits = exponent - at - (point == std::string::npos ? 0 : 1);
  if (digits == 0) return false;
  if (point == std::string::npos ? !allDigits(text, at, exponent)
                                 : !allDigits(text, at, point) || !allDigits(text, point + 1, exponent))
    return false;
  if (exponent == text.size()) return true;
  size_t power = exponent + 1;
  if (power < text.size() && (text[power] == '+' || text[power] == '-')) ++power;
  return power < text.size() && allDigits(text, power, text.size());
}

std::string checkInputType(Object& targetIn) {
  Object& target = targetIn.resolve(true);
  if (target.isAny()) return "";
  switch (target.base()) {
    case 'b': case 'c': case 'i': case 'r': case 's': return "";
    default: return fillKey("eindattypnicerl", {typeName(target, true)});
  }
}

std::string convertString(const std::string& text, Object& targetIn) {
  std::string refused = checkInputType(targetIn);
  if (!refused.empty()) return refused;
  Object& target = targetIn.resolve(true);
  auto refuse = [&] { return fillKey("umwzeiketnicmoe", {text, typeName(target, true)}); };
  if (target.isAny()) {
    std::unique_ptr<Object> value = mostSpecificValue(text);
    return transfer(target, *value, Transfer::Copy);
  }
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
    case 'i': {
      std::optional<BigInt> value = BigInt::fromText(text);
      if (!value) return refuse();
      target.asInt() = std::move(*value);
      return "";
    }
    case 'r':
      if (!isRealLiteral(text)) return refuse();
      target.asReal().setText(text);
      return "";
    default:  // str, the one type checkInputType leaves
      target.asStr().text = text;
      target.asStr().restartReading();
      return "";
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
    bool digits = field.size() > 1 && allDigits(field, 1, field.size());
    // strtol saturates, so a field of any length is caught by the range test.
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
