// The first step of reading a source file: joining its lines, removing comments and line
// continuations, and remembering for every remaining character its physical line.
#pragma once

#include <string>
#include <vector>

namespace kavor {

struct SourceText {
  // The program text: comments and "\" continuations removed, literals verbatim; a '\n'
  // outside a literal is a line end between two physical lines.
  std::string text;
  // Physical line (from 1) of every character of text; same length as text.
  std::vector<int> lines;
};

// Throws ERROR (kind 'p') for an unclosed literal or comment, a stray ")#" and a "\" that
// is not at the end of a line. In the main file a first line starting with "#!" is ignored.
SourceText prepareSource(const std::string& fileName, const std::vector<std::string>& lines,
                         bool mainFile);

}  // namespace kavor
