#include "frontend/literal.h"

namespace kavor {

size_t findLiteralEnd(std::string_view text, size_t open) {
  const char quote = text[open];
  size_t backslashes = 0;
  for (size_t i = open + 1; i < text.size(); ++i) {
    if (text[i] == '\\') {
      ++backslashes;
      continue;
    }
    if (text[i] == quote && backslashes % 2 == 0) return i;
    backslashes = 0;
  }
  return std::string_view::npos;
}

std::optional<std::string> unescapeLiteral(std::string_view raw) {
  std::string text;
  text.reserve(raw.size());
  for (size_t i = 0; i < raw.size(); ++i) {
    char c = raw[i];
    if (c != '\\') {
      text += c == '\0' ? '\xFF' : c;
      continue;
    }
    if (++i == raw.size()) return std::nullopt;
    switch (raw[i]) {
      case '\'': text += '\''; break;
      case '"': text += '"'; break;
      case '\\': text += '\\'; break;
      case 't': text += '\t'; break;
      case 'f': text += '\f'; break;
      case 'v': text += '\v'; break;
      case 'n': text += '\n'; break;
      case '0': text += '\xFF'; break;
      case 'a': text += '\a'; break;
      case 'r': text += '\r'; break;
      case 'b': text += '\b'; break;
      case '\n': break;
      default: return std::nullopt;
    }
  }
  return text;
}

}  // namespace kavor
