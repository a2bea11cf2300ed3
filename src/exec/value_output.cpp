#include "exec/value_output.h"

#include <cstdlib>

#include "core/binary_form.h"
#include "core/messages.h"
#include "core/interpreter.h"
#include "core/text_form.h"
#include "exec/user_types.h"

namespace kavor {

namespace {

// Pads `text` to the next field of the output format of its type, if there is one.
void applyOutputFormat(StreamSettings& settings, TypeCode base, std::string& text) {
  OutputFormat* format = settings.outputFormatFor(base);
  if (format == nullptr) return;
  const int64_t width = format->widths[format->fieldIndex];
  format->fieldIndex = (format->fieldIndex + 1) % format->widths.size();
  const size_t wanted = static_cast<size_t>(std::llabs(width));
  if (text.size() >= wanted) return;
  if (width > 0) text.insert(0, wanted - text.size(), ' ');
  else text.append(wanted - text.size(), ' ');
}

}  // namespace

Failure writeValues(Executor& exec, TreeNode& node, const ExecContext& context, STREAM_DATA& stream,
                    ResultList& values, size_t first, bool plain) {
  StreamSettings& settings = *stream.settings;
  std::string text;
  if (stream.writesObjects()) {
    // Binary items need no separator between them, and padding would only be bytes a
    // reader has to skip: each value is its item alone.
    for (size_t i = first; i < values.size(); ++i) {
      if (Failure failure = writeBinary(*values[i].object, text)) return failure;
      if (Failure failure = stream.write(text, false)) return failure;
    }
    return Failure::none();
  }
  for (size_t i = first; i < values.size(); ++i) {
    if (!plain && i > first && settings.outputSeparator) {
      if (Failure failure = stream.write(*settings.outputSeparator, false)) return failure;
    }
    Object& value = *values[i].object;
    // A value of a user-defined type whose type has a procedure `out` is written by that
    // procedure, on the standard stream, which is where it writes.
    if (!plain && &stream == &exec.interp.standardStream && writeByOutProcedure(exec, node, value)) continue;
    text.clear();
    if (Failure failure = writeText(value, text)) return failure;
    applyOutputFormat(settings, value.resolve(true).base(), text);
    if (Failure failure = stream.write(text, true)) return failure;
  }
  return Failure::none();
}

Failure setOutputFormat(StreamSettings& settings, char typeLetter, const std::string& format) {
  const bool everyType = typeLetter == ' ';
  if (!everyType && (!isValidCode(typeLetter) || baseCode(typeLetter) != typeLetter || isIndirectionCode(typeLetter)))
    return fillKey("unbdattypxxx", {std::string(1, typeLetter)});
  if (format.empty()) {
    settings.outputFormats.erase(typeLetter);
    return Failure::none();
  }
  ColumnFormat columns;
  if (Failure failure = parseColumnFormat(format, ' ', columns)) return failure;
  OutputFormat& entry = settings.outputFormats[typeLetter];
  entry.text = format;
  entry.widths.assign(columns.widths.begin(), columns.widths.end());
  entry.fieldIndex = 0;
  return Failure::none();
}

std::string outputFormatText(const StreamSettings& settings) {
  std::string text;
  for (const auto& [letter, format] : settings.outputFormats) {
    if (!text.empty()) text += ' ';
    if (letter != ' ') text += letter;
    text += format.text;
  }
  return text;
}

}  // namespace kavor
