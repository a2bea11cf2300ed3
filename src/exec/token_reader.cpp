#include "exec/token_reader.h"

#include <algorithm>

namespace kavor {

namespace {

constexpr char kBackspace = 8;

// A NUL byte read from a file or pipe is kept as the stored NUL, like every NUL in a text.
char stored(char c) { return c == '\0' ? kStoredNul : c; }

bool endsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

Outcome<bool, Failure> readToken(STREAM_DATA& stream, std::string& token) {
  return readToken(stream, stream.settings->inputSeparators, token);
}

Outcome<bool, Failure> readToken(STREAM_DATA& stream, const std::vector<std::string>& separators, std::string& token) {
  token.clear();
  if (Failure failure = stream.prepareInput()) return Outcome<bool, Failure>::refusal(std::move(failure));
  const bool interactive = stream.isInteractive();
  size_t longest = 0;
  for (const std::string& separator : separators) longest = std::max(longest, separator.size());
  // The last characters read, not yet known to be outside a separator; never longer than
  // the longest separator.
  std::string window;
  window.reserve(longest + 1);
  char c = 0;
  while (!stream.readChar(c)) {
    if (c == kBackspace && interactive) {
      // The key erases what the user sees last: the window's end, else the token's.
      if (!window.empty()) window.pop_back();
      else if (!token.empty()) token.pop_back();
      continue;
    }
    if (longest == 0) {
      token += stored(c);
      continue;
    }
    window += stored(c);
    auto separator = std::find_if(separators.begin(), separators.end(),
                                  [&](const std::string& candidate) { return endsWith(window, candidate); });
    if (separator != separators.end()) {
      token.append(window, 0, window.size() - separator->size());
      window.clear();
      // Separators before the first character of a token are skipped.
      if (!token.empty()) return Outcome<bool, Failure>::success(true);
      continue;
    }
    if (window.size() >= longest) {
      token += window.front();
      window.erase(0, 1);
    }
  }
  token += window;
  return Outcome<bool, Failure>::success(!token.empty());
}

Outcome<bool, Failure> readLine(STREAM_DATA& stream, std::string& line) {
  line.clear();
  if (Failure failure = stream.prepareInput()) return Outcome<bool, Failure>::refusal(std::move(failure));
  const bool interactive = stream.isInteractive();
  const bool binary = stream.isBinary();
  bool readSomething = false;
  char c = 0;
  while (!stream.readChar(c)) {
    readSomething = true;
    if (c == '\n' || (c == '\r' && !binary)) return Outcome<bool, Failure>::success(true);
    if (c == kBackspace && interactive) {
      if (!line.empty()) line.pop_back();
      continue;
    }
    line += stored(c);
  }
  return Outcome<bool, Failure>::success(readSomething);
}

}  // namespace kavor
