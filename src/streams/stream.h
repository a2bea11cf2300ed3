// The stream family behind all character input and output of a running program: the
// standard stream, in-memory texts (`str`) and named files (`file`). Reading tokens and
// writing separators are built on these primitives by the input and output statements.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "numbers/refusal.h"

namespace kavor {

// A NUL character inside a Kavor text is stored as this byte; every output path writes it
// as the byte 0.
constexpr char kStoredNul = '\xFF';

// The standard separator set: blank, tab, form feed, vertical tab, newline and the stored
// NUL, in this order. Every stream class starts with it, so values are read as words.
const std::vector<std::string>& standardSeparators();

// The output format of one type: its text form is padded to these column widths before the
// value is written, one field per value in turn.
struct OutputFormat {
  // The format string as it was given ("+8-3"); get_out_fmt reports it.
  std::string text;
  // The parsed fields: > 0 pads on the left, < 0 on the right; never empty.
  std::vector<int32_t> widths;
  // Field the next value of the type uses; always < widths.size().
  size_t fieldIndex = 0;
};

// Separators and field layout, one record per stream class (the standard stream, all `str`
// streams, all `file` streams). Streams only point at their class's record.
struct StreamSettings {
  // Input separators, tried in this order by the token reader; none is ever empty.
  std::vector<std::string> inputSeparators = standardSeparators();
  // Byte length of the longest input separator; 0 when there are none. The token reader
  // sizes its window by it.
  size_t longestSeparator = 1;
  // Written between two output values; none by default.
  std::optional<std::string> outputSeparator;
  // Field widths for aligned writes: > 0 pads on the left, < 0 on the right, 0 pads nothing.
  std::vector<int32_t> fieldWidths;
  // Padding byte; a blank unless set after the widths were installed.
  char fill = ' ';
  // Field the next aligned write uses; always < fieldWidths.size() when widths exist.
  size_t fieldIndex = 0;
  // Output formats by base type letter; the blank holds the format of every type without one
  // of its own. Ordered, so that the blank comes first when they are listed.
  std::map<char, OutputFormat> outputFormats;

  // The format that applies to a value of the base type `code`, or nullptr.
  OutputFormat* outputFormatFor(char code) {
    if (outputFormats.empty()) return nullptr;
    auto found = outputFormats.find(code);
    if (found == outputFormats.end()) found = outputFormats.find(' ');
    return found == outputFormats.end() ? nullptr : &found->second;
  }

  // Replaces the input separators. An empty one is rejected ("Empty string infeasible as
  // separator") and then no separators remain.
  Refusal setInputSeparators(std::vector<std::string> separators);

  // Installs new field widths; the fill goes back to a blank and the next field is the first.
  void setFieldWidths(std::vector<int32_t> widths);
};

// The five operations every stream offers. Refusals come back as a Refusal (none on
// success); the caller raises its text in its own context or prints it.
class STREAM_DATA {
 public:
  virtual ~STREAM_DATA() = default;

  // Makes the stream ready to be read: a `file` not open for reading opens itself with "i".
  virtual Refusal prepareInput() = 0;

  // Reads one byte into `c`; returns true at the end of input (and keeps doing so).
  virtual bool readChar(char& c) = 0;

  // Whether input is binary: "\r" is then an ordinary byte inside a line.
  virtual bool isBinary() const = 0;

  // Whether input comes from a person at the keyboard (backspace erases what was typed).
  virtual bool isInteractive() const = 0;

  // Whether values are read and written in the binary object form instead of their text
  // (the standard stream with -ib, and with -ob or -Ob).
  virtual bool readsObjects() const { return false; }
  virtual bool writesObjects() const { return false; }

  // Writes `text`; with `aligned` set, pads it to the current field of the settings and
  // moves on to the next field.
  virtual Refusal write(std::string_view text, bool aligned) = 0;

  // The record of this stream's class; never null.
  StreamSettings* settings;

 protected:
  explicit STREAM_DATA(StreamSettings* settings) : settings(settings) {}
  // Only whole streams are copied (a `str` value), never a base part on its own.
  STREAM_DATA(const STREAM_DATA&) = default;
  STREAM_DATA& operator=(const STREAM_DATA&) = default;

  // Every class writes aligned text the same way and differs only in where the bytes go:
  // `emit(text)` writes bytes as they are and returns its Refusal.
  template <class Emit>
  Refusal writeAligned(std::string_view text, bool aligned, Emit&& emit);
};

// Reads `stream` to its end and splits it into lines. A line ends at "\n", and at "\r" unless
// the stream is binary (a "\r\n" pair has already been folded by text-mode streams). The
// terminators are dropped; a last line without terminator counts; no empty line follows a
// final terminator.
std::vector<std::string> readAllLines(STREAM_DATA& stream);

template <class Emit>
Refusal STREAM_DATA::writeAligned(std::string_view text, bool aligned, Emit&& emit) {
  StreamSettings& layout = *settings;
  bool padded = aligned && !layout.fieldWidths.empty();
  int64_t width = 0;
  if (padded) {
    if (layout.fieldIndex >= layout.fieldWidths.size()) layout.fieldIndex = 0;
    width = layout.fieldWidths[layout.fieldIndex];
  }
  // Padding goes out in bounded pieces so that a huge width never needs a huge buffer.
  auto pad = [&](int64_t count) -> Refusal {
    const std::string piece(static_cast<size_t>(std::min<int64_t>(count, 4096)), layout.fill);
    while (count > 0) {
      size_t now = static_cast<size_t>(std::min<int64_t>(count, static_cast<int64_t>(piece.size())));
      if (Refusal refusal = emit(std::string_view(piece).substr(0, now))) return refusal;
      count -= static_cast<int64_t>(now);
    }
    return Refusal::none();
  };
  const int64_t length = static_cast<int64_t>(text.size());
  if (padded && width > 0 && length < width) {
    if (Refusal refusal = pad(width - length)) return refusal;
  }
  if (Refusal refusal = emit(text)) return refusal;
  if (padded) {
    if (width < 0 && length < -width) {
      if (Refusal refusal = pad(-width - length)) return refusal;
    }
    layout.fieldIndex = (layout.fieldIndex + 1) % layout.fieldWidths.size();
  }
  return Refusal::none();
}

}  // namespace kavor
