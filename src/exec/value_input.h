// Reading values into variables as the input statements do; the `str` and `file` methods
// that read use the same.
#pragma once

#include <string>

#include "core/failure.h"
#include "exec/result_list.h"
#include "frontend/tree_node.h"
#include "streams/stream.h"

namespace kavor {

// How the text of each value is cut out of the input.
enum class InputRule {
  Token,  // by the stream's input separators (in, pin, sin)
  Word,   // by white space, whatever the stream's separators are (inw)
  Field,  // by commas and line ends, so that a value may hold blanks (inc)
  Line,   // one whole line per value, an empty line included (inl)
};

// None when every entry of `variables[first..]` is a defined variable of a type that can be
// read, else the refusal of the first that is not.
Failure checkInputVariables(const ResultList& variables, size_t first);

// Reads one value for each of `variables[first..]` from `stream` by `rule` and converts it
// by the variable's type. The entries are checked by checkInputVariables before anything is
// read. The value is true when every variable received a value, false when the input
// ended first (the variables read so far keep their values) or on a failure. User values
// in binary input name their types as the statement `where` sees them (none without it).
Outcome<bool, Failure> readValues(STREAM_DATA& stream, ResultList& variables, size_t first, InputRule rule,
                                  TreeNode* where = nullptr);

// The input separators as get_in_spc reports them: in order, nothing between them.
std::string inputSeparatorText(const StreamSettings& settings);

}  // namespace kavor
