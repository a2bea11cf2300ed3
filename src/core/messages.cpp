#include "core/messages.h"

#include <cstdint>
#include <string_view>
#include <unordered_map>

namespace kavor {

namespace {

// The catalogue is scanned once into a map: lookups happen on every raised error and
// every composed message, so a linear scan of 359 keys would be a needless cost.
const std::unordered_map<std::string_view, const char*>& messageIndex() {
  static const auto* index = [] {
    auto* map = new std::unordered_map<std::string_view, const char*>();
    for (const MessageEntry* entry = kMessageTable; entry->key != nullptr; ++entry)
      map->emplace(entry->key, entry->text);  // first entry of a key wins
    return map;
  }();
  return *index;
}

}  // namespace

const char* message(std::string_view key) {
  // Hot paths ask for the same few keys again and again (every checked assignment names
  // its operation word): a small cache in front of the map, chosen by the key's address
  // and confirmed by comparing the text, answers those without hashing.
  struct Slot {
    std::string_view key;      // the catalogue's own key text; empty when unused
    const char* text = "";     // its message text
  };
  static Slot cache[64];
  Slot& slot = cache[(reinterpret_cast<uintptr_t>(key.data()) >> 4) % 64];
  if (!slot.key.empty() && slot.key == key) return slot.text;
  const auto& index = messageIndex();
  auto found = index.find(key);
  if (found == index.end()) return "";
  slot.key = found->first;
  slot.text = found->second;
  return found->second;
}

std::string concatMessages(std::string_view key1, std::string_view key2) {
  std::string text = message(key1);
  text += message(key2);
  return text;
}

std::string fill(std::string_view format, std::initializer_list<std::string_view> args) {
  std::string text;
  text.reserve(format.size() + 32);
  auto next = args.begin();
  for (size_t i = 0; i < format.size(); ++i) {
    char c = format[i];
    if (c == '%' && i + 1 < format.size()) {
      char conversion = format[i + 1];
      if (conversion == '%') {
        text += '%';
        ++i;
        continue;
      }
      if (conversion == 's' || conversion == 'd' || conversion == 'c') {
        if (next != args.end()) text += *next++;
        ++i;
        continue;
      }
    }
    text += c;
  }
  return text;
}

std::string fillKey(std::string_view key, std::initializer_list<std::string_view> args) {
  return fill(message(key), args);
}

}  // namespace kavor
