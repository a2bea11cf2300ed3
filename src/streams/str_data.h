// The payload of every Kavor `str`: a text that output appends to and input reads from.
#pragma once

#include <string>
#include <string_view>

#include "streams/stream.h"

namespace kavor {

class STR_DATA final : public STREAM_DATA {
 public:
  // The record every `str` stream shares. It points at the interpreter's record while an
  // interpreter lives (StreamSettingsLink) and at a module default otherwise; never null.
  static StreamSettings* sharedSettings;

  STR_DATA() : STREAM_DATA(sharedSettings) {}
  explicit STR_DATA(std::string text) : STREAM_DATA(sharedSettings), text(std::move(text)) {}

  // The string's bytes; a NUL is stored as kStoredNul. Code that replaces or shortens it
  // outside of write() calls restartReading() so that reading begins again at the start.
  std::string text;
  // Index of the next byte to read; at or past text.size() means the input has ended.
  // Every write sets it back to 0, so reading always covers the whole current text.
  size_t readPosition = 0;

  // Iterations (`for`, `For`) running over this string; while > 0 its length must not
  // change.
  int32_t iterationCount = 0;

  void restartReading() { readPosition = 0; }

  Refusal prepareInput() override { return Refusal::none(); }
  bool readChar(char& c) override;
  bool isBinary() const override { return false; }
  bool isInteractive() const override { return false; }
  Refusal write(std::string_view text, bool aligned) override;
};

}  // namespace kavor
