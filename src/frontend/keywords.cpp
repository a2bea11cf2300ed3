#include "frontend/keywords.h"

#include "core/object.h"

namespace kavor {

namespace {

enum class WordKind { Routine, TypeDefinition, Inclusion, Predefined };

struct Keyword {
  std::string_view text;
  WordKind kind;
};

constexpr Keyword kKeywords[] = {
    {"proc", WordKind::Routine},
    {"func", WordKind::Routine},
    {"bigtype", WordKind::TypeDefinition},
    {"smalltype", WordKind::TypeDefinition},
    {"need", WordKind::Inclusion},
    {"true", WordKind::Predefined},
    {"false", WordKind::Predefined},
    {"this", WordKind::Predefined},
};

// The kind of a reserved word; false when the word is none.
bool kindOf(std::string_view word, WordKind& kind) {
  for (const Keyword& keyword : kKeywords) {
    if (keyword.text != word) continue;
    kind = keyword.kind;
    return true;
  }
  return false;
}

}  // namespace

bool isRoutineWord(std::string_view word) {
  WordKind kind;
  return kindOf(word, kind) && kind == WordKind::Routine;
}

bool isTypeDefinitionWord(std::string_view word) {
  WordKind kind;
  return kindOf(word, kind) && kind == WordKind::TypeDefinition;
}

bool isDefinitionWord(std::string_view word) {
  WordKind kind;
  return kindOf(word, kind) && kind != WordKind::Predefined;
}

bool isPredefinedName(std::string_view word) {
  WordKind kind;
  return kindOf(word, kind) && kind == WordKind::Predefined;
}

bool isTypeWord(const std::string& word) { return typeCodeOf(word) != 'k'; }

std::vector<std::string_view> reservedWords() {
  std::vector<std::string_view> words;
  for (const Keyword& keyword : kKeywords) words.push_back(keyword.text);
  return words;
}

}  // namespace kavor
