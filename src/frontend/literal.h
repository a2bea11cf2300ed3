// String literals and character constants: where they end and what their escapes mean.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kavor {

// Position of the quote closing the literal that opens at `open` (text[open] is the
// quote), or npos. A quote preceded by an odd number of backslashes is escaped.
size_t findLiteralEnd(std::string_view text, size_t open);

// Translates the raw text between the quotes: "\0" and a raw NUL become the byte 0xFF (the
// interpreter's NUL), a backslash before a line end vanishes. nullopt for an unknown escape.
std::optional<std::string> unescapeLiteral(std::string_view raw);

}  // namespace kavor
