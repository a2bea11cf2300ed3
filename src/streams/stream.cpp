#include "streams/stream.h"


namespace kavor {

const std::vector<std::string>& standardSeparators() {
  static const std::vector<std::string> separators{" ", "\t", "\f", "\v", "\n", std::string(1, kStoredNul)};
  return separators;
}

Refusal StreamSettings::setInputSeparators(std::vector<std::string> separators) {
  inputSeparators.clear();
  longestSeparator = 0;
  for (const std::string& separator : separators) {
    if (separator.empty()) return Refusal::of("leezeiketsepunz");
  }
  inputSeparators = std::move(separators);
  for (const std::string& separator : inputSeparators) longestSeparator = std::max(longestSeparator, separator.size());
  return Refusal::none();
}

void StreamSettings::setFieldWidths(std::vector<int32_t> widths) {
  fieldWidths = std::move(widths);
  fill = ' ';
  fieldIndex = 0;
}

std::vector<std::string> readAllLines(STREAM_DATA& stream) {
  std::vector<std::string> lines;
  std::string line;
  bool lineOpen = false;  // a byte arrived since the last line end
  const bool binary = stream.isBinary();
  char c = 0;
  while (!stream.readChar(c)) {
    if (c == '\n' || (c == '\r' && !binary)) {
      lines.push_back(std::move(line));
      line.clear();
      lineOpen = false;
      continue;
    }
    line += c;
    lineOpen = true;
  }
  if (lineOpen) lines.push_back(std::move(line));
  return lines;
}

}  // namespace kavor
