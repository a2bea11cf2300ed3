// The row of `str`. Strings are common temporaries, so their payloads come from a free
// list.
#include <string_view>

#include "core/binary_form.h"
#include "core/containers.h"
#include "core/pool.h"
#include "core/type_table.h"
#include "exec/iteration.h"
#include "streams/str_data.h"

namespace kavor {

namespace {

// A string compares up to its first stored NUL.
std::string_view upToZero(const std::string& text) { return std::string_view(text).substr(0, text.find('\0')); }

// Binary item: "s", the byte length, "s", the bytes (a NUL among them too).
void writeBinaryStr(const Object& object, std::string& out, TextParts&) {
  const std::string& text = object.asStr().text;
  out += 's' + std::to_string(text.size()) + 's';
  out += text;
}

bool readBinaryStr(BinaryInput& in, char, Object& target) {
  int64_t length;
  if (!in.number(length, 's') || !in.text(length, target.asStr().text)) return false;
  target.asStr().restartReading();
  return true;
}

// `s.for(c, {...})`: each character in turn, as a copy (the string may change meanwhile).
void loopOverCharacters(ElementLoop& loop) {
  STR_DATA& text = loop.object.asStr();
  IterationGuard guard(&text, text.iterationCount);
  size_t count = text.text.size();
  for (size_t step = 0; step < count && guard.alive() && step < text.text.size(); ++step) {
    size_t index = loop.backwards ? text.text.size() - 1 - step : step;
    Object character('c');
    character.setChar(static_cast<unsigned char>(text.text[index]));
    loop.check.require(transfer(loop.variable(0), character, Transfer::Copy));
    if (loop.runBody()) break;
  }
}

}  // namespace

extern constinit const TypeOps kStrOps = {
    .name = "str",
    .create = [](Object& object) { object.value = newPooled<STR_DATA>(); },
    .release =
        [](Object& object) {
          if (static_cast<STR_DATA*>(object.value)->iterationCount > 0) IterationWatch::payloadReleased(object.value);
          deletePooled<STR_DATA>(object.value);
        },
    .copy =
        [](Object& target, const Object& source) {
          target.asStr().text = source.asStr().text;
          target.asStr().restartReading();
        },
    .equals = [](Object& a, Object& b, PartComparison&) { return upToZero(a.asStr().text) == upToZero(b.asStr().text); },
    .isEmpty = [](const Object& object) { return object.asStr().text.empty(); },
    .makeEmpty = renewPayload,
    .visitParts = nullptr,
    .loopsRunning = [](const Object& object) { return object.asStr().iterationCount; },
    .writeText = [](const Object& object, std::string& out, TextParts&) { out += object.asStr().text; },
    .readText =
        [](const std::string& text, Object& target) {
          target.asStr().text = text;
          target.asStr().restartReading();
          return true;
        },
    .elementLoop = loopOverCharacters,
    .compoundOperators = "+",
    .acceptsOperand = [](TypeCode source) { return source == 's' || source == 'c'; },
    .compound =
        [](char, Object& target, Object& source) -> Failure {
          STR_DATA& text = target.asStr();
          if (text.iterationCount > 0) return refusedDuringIteration();
          if (source.base() == 'c') text.text += static_cast<char>(source.charValue());
          else text.text += source.asStr().text;  // appending a string to itself is fine
          text.restartReading();
          return Failure::none();
        },
    // Bytes compare unsigned, up to the first zero byte, as equality reads strings.
    .order = [](Object& a, Object& b) -> std::partial_ordering {
      return upToZero(a.asStr().text).compare(upToZero(b.asStr().text)) <=> 0;
    },
    .writeBinary = writeBinaryStr,
    .readBinary = readBinaryStr,
};

}  // namespace kavor
