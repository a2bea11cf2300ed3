// Reading the text of one value from any stream: the token rule of the input statements and
// of the `str` and `file` methods that read, and the line rule of `inl`.
#pragma once

#include <string>
#include <vector>

#include "core/failure.h"
#include "streams/stream.h"

namespace kavor {

// Reads the next token of `stream`, split by the stream's own input separators. The value is
// true when a token was read into `token`, false when the input ended first; the stream's
// refusal to be made ready for input is the failure.
Outcome<bool, Failure> readToken(STREAM_DATA& stream, std::string& token);

// The same with `separators` (each non-empty) in place of the stream's own.
Outcome<bool, Failure> readToken(STREAM_DATA& stream, const std::vector<std::string>& separators, std::string& token);

// Reads the rest of the current line into `line`, without its terminator ("\n", or "\r" on
// a text stream). An empty line is a line; false as for readToken when nothing at all was
// left to read.
Outcome<bool, Failure> readLine(STREAM_DATA& stream, std::string& line);

}  // namespace kavor
